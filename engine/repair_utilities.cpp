#include "engine/repair_utilities.hpp"

#include <array>
#include <cstring>

#include "engine/candidates.hpp"
#include "engine/code_pages.hpp"
#include "engine/heap_text.hpp"
#include "engine/text_score.hpp"
#include "platform/files.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {

namespace {

constexpr std::size_t MAX_PATH_UNITS = 32767;

bool is_cyrillic_utf8(std::string_view input) {
    return is_strict_utf8(input) == 1 && count_cyrillic_utf8(input) > 0;
}

// Candidates of one call, released when it returns.
struct CandidateList {
    std::array<Candidate, MAX_CANDIDATES> items;
    int count = 0;

    explicit CandidateList(std::string_view input) { enumerate_candidates(input, items, count); }
    ~CandidateList() { free_candidates(std::span(items).first(static_cast<std::size_t>(count))); }
    const Candidate& operator[](int i) const { return items[static_cast<std::size_t>(i)]; }
};

}  // namespace

int repair_buffer(std::string_view input, char* output, std::uint64_t& output_length) {
    if (is_cyrillic_utf8(input)) {  // already right: nothing to enumerate
        if (output_length < input.size()) return 0;
        if (!input.empty()) std::memcpy(output, input.data(), input.size());
        output_length = input.size();
        return 1;
    }
    const CandidateList list(input);
    int chosen = -1;
    double best = 0.0;
    for (int i = 0; i < list.count; ++i) {
        if (list[i].score > best) {
            best = list[i].score;
            chosen = i;
        }
    }
    if (chosen < 0 || list[chosen].length > output_length) return 0;
    const std::string_view text = list[chosen].view();
    if (!text.empty()) std::memcpy(output, text.data(), text.size());
    output_length = text.size();
    return 1;
}

int detect_code_page(std::string_view input, std::uint32_t& code_page) {
    if (is_cyrillic_utf8(input)) {
        code_page = CODE_PAGE_UTF8;
        return 2;
    }
    code_page = platform::system_ansi_code_page();
    std::array<std::int32_t, code_page_catalogue.size()> counts{};
    const auto work = allocate_text(WORK_BUFFER_SIZE);  // one buffer for every row
    if (!work) return 0;
    std::array<std::uint32_t, code_page_catalogue.size()> resolved{};
    for (std::size_t row = 0; row < code_page_catalogue.size(); ++row) {
        resolved[row] = resolve_code_page(code_page_catalogue[row].value);
        if (resolved[row] == CODE_PAGE_UTF8) continue;
        std::uint64_t length = WORK_BUFFER_SIZE;
        if (convert_strict(input, work.get(), length, resolved[row], CODE_PAGE_UTF8)) {
            counts[row] = count_cyrillic_utf8({work.get(), static_cast<std::size_t>(length)});
        }
    }
    std::int32_t best = 0;
    for (std::size_t row = 0; row < counts.size(); ++row) {
        if (counts[row] > best) {
            best = counts[row];
            code_page = resolved[row];
        }
    }
    return best > 0 ? 1 : 0;
}

int repair_file(std::u16string_view path) {
    const auto file = platform::read_file_prefix(path, FILE_REPAIR_LIMIT);
    // A longer file would be repaired only in part: refused rather than cut silently.
    if (!file || file->truncated) return 0;
    // A cut output path would name some other file.
    if (path.size() + FIXED_SUFFIX.size() > MAX_PATH_UNITS) return 0;
    const CandidateList list(file->bytes);
    if (list.count == 0) return 0;
    int chosen = 0;
    for (int i = 1; i < list.count; ++i) {
        if (list[i].score > list[chosen].score) chosen = i;
    }
    std::u16string output(path);
    output += FIXED_SUFFIX;
    return platform::write_file_replacing(output, list[chosen].view()) ? 1 : 0;
}

}  // namespace tavrik
