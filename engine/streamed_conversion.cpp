#include "engine/streamed_conversion.hpp"

#include <cstring>
#include <new>

#include "encoding/single_byte_code_pages.hpp"
#include "encoding/utf8.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidate_list.hpp"
#include "engine/code_pages.hpp"

namespace tavrik {

namespace {

constexpr std::string_view ARROW = " \xE2\x86\x92 ";  // " → ", as chain labels join names

// A source code page other than ours or UTF-8 (a system code page with characters of several
// bytes) gets no cut until a byte below '0' turns up; past this much without one, it fails.
constexpr std::size_t MAX_CARRY = 4 * 1048576;

std::optional<std::uint32_t> code_page_of_name(std::string_view name) {
    for (const CodePageEntry& row : code_page_catalogue) {
        if (name == row.short_name) return resolve_code_page(row.value);
    }
    if (name.size() < 3 || name.size() > 12 || name.substr(0, 2) != "cp") return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : name.substr(2)) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// The length of the longest start of `bytes` that does not end inside a UTF-8 sequence.
std::size_t whole_utf8(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 4 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;  // ill-formed: its conversion fails
}

// The length of the start of `bytes` that ends on a character boundary of `code_page`.
std::size_t whole_characters(std::string_view bytes, std::uint32_t from, std::uint32_t to) {
    if (from == to || encoding::single_byte_index(from) >= 0) return bytes.size();
    if (from == encoding::UTF8_CODE_PAGE) return whole_utf8(bytes);
    for (std::size_t i = bytes.size(); i > 0; --i) {
        if (static_cast<unsigned char>(bytes[i - 1]) < 0x30) return i;
    }
    return 0;
}

}  // namespace

std::optional<ReadingChain> chain_of_label(std::string_view label) {
    std::vector<std::uint32_t> code_pages;
    for (;;) {
        const std::size_t arrow = label.find(ARROW);
        const auto code_page = code_page_of_name(label.substr(0, arrow));
        if (!code_page) return std::nullopt;
        code_pages.push_back(*code_page);
        if (arrow == std::string_view::npos) break;
        label.remove_prefix(arrow + ARROW.size());
    }
    if (code_pages.size() < 2) return std::nullopt;
    ReadingChain chain;
    chain.origin = code_pages.front();
    chain.final_code_page = code_pages.back();
    chain.intermediates.assign(code_pages.begin() + 1, code_pages.end() - 1);
    return chain;
}

std::size_t reading_decision_cut(std::string_view start, bool whole) {
    if (whole) return start.size();
    const std::size_t half = start.size() / 2;
    const std::size_t line = start.rfind('\n');
    if (line != std::string_view::npos && line >= half) return line + 1;
    for (std::size_t i = start.size(); i > half; --i) {
        if (static_cast<unsigned char>(start[i - 1]) < 0x30) return i;
    }
    return whole_utf8(start);
}

std::optional<ChosenReading> choose_reading_of_start(std::string_view start) {
    const CandidateList candidates(start);
    if (candidates.empty()) return std::nullopt;
    const Candidate& chosen = candidates[most_plausible_candidate(candidates.view())];
    auto chain = chain_of_label(chosen.label_text());
    if (!chain) return std::nullopt;
    return ChosenReading{std::move(*chain), chosen.label_text()};
}

ChainConverter::ChainConverter(ReadingChain chain) {
    std::uint32_t current = chain.origin;
    for (const std::uint32_t step : chain.intermediates) {
        steps_.push_back({current, step, {}});
        current = step;
    }
    steps_.push_back({chain.final_code_page, encoding::UTF8_CODE_PAGE, {}});
    between_.resize(steps_.size());
}

bool ChainConverter::run_step(std::size_t index, std::string_view source, bool last,
                              std::string& out) {
    Step& step = steps_[index];
    std::string_view data = source;
    if (!step.pending.empty()) {
        step.pending.append(source);
        data = step.pending;
    }
    const std::size_t cut = last ? data.size() : whole_characters(data, step.from, step.to);
    if (data.size() - cut > MAX_CARRY) return false;
    std::string& target = index + 1 == steps_.size() ? out : between_[index];
    target.clear();
    if (cut > 0) {
        // Every step of ours writes at most three bytes for each it reads; a system code page
        // with characters of several bytes, at most four.
        const std::size_t capacity = 4 * cut + 16;
        target.resize(capacity);
        std::uint64_t length = capacity;
        if (!convert_strict(data.substr(0, cut), target.data(), length, step.from, step.to)) {
            target.clear();
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
    }
    if (data.data() == step.pending.data() && !step.pending.empty()) {
        step.pending.erase(0, cut);
    } else {
        step.pending.assign(data.substr(cut));
    }
    if (index + 1 == steps_.size()) return true;
    return run_step(index + 1, between_[index], last, out);
}

bool ChainConverter::convert(std::string_view piece, bool last, std::string& out) {
    out.clear();
    if (failed_) return false;
    given_ += piece.size();
    try {
        if (!run_step(0, piece, last, out)) {
            failed_ = true;
            out.clear();
            return false;
        }
    } catch (const std::bad_alloc&) {
        failed_ = true;
        out.clear();
        return false;
    }
    converted_ = given_ - steps_.front().pending.size();
    return true;
}

}  // namespace tavrik
