// The check of what `fix` writes, and where a refusal points (see written_text.hpp).
#include "app/cli/written_text.hpp"

#include <algorithm>
#include <cstring>

#include "encoding/utf8.hpp"
#include "platform/code_page_conversion.hpp"

namespace tavrik::cli {

namespace {

namespace utf8 = encoding::utf8;

// Whether `bytes` start a well-formed sequence that more bytes can complete: completed with the
// smallest continuation bytes allowed, it must be well-formed.
bool begins_sequence(std::string_view bytes) {
    const unsigned char lead = utf8::byte_at(bytes, 0);
    const int more = utf8::announced_continuations(lead);
    if (more <= 0 || bytes.size() > static_cast<std::size_t>(more)) return false;
    std::string completed(bytes);
    if (completed.size() == 1) {
        completed += static_cast<char>(lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80);
    }
    completed.resize(static_cast<std::size_t>(more) + 1, '\x80');
    return utf8::sequence_length(completed, 0) == completed.size();
}

// How many line feeds `bytes` hold, eight bytes at a time: counted for every piece converted, so
// it must cost next to nothing beside the conversion.
std::uint64_t line_feeds(std::string_view bytes) {
    constexpr std::uint64_t ONES = 0x0101010101010101ULL;
    constexpr std::uint64_t HIGH = 0x8080808080808080ULL;
    std::uint64_t count = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        const std::uint64_t x = word ^ (ONES * '\n');  // a zero byte where a line feed was
        // The high bit of each byte of `zeros` is set exactly where x has a zero byte; shifted
        // to ones, the product with ONES adds them up in its top byte.
        const std::uint64_t zeros = ~(((x & ~HIGH) + ~HIGH) | x) & HIGH;
        count += ((zeros >> 7) * ONES) >> 56;
    }
    for (; i < bytes.size(); ++i)
        count += bytes[i] == '\n' ? 1 : 0;
    return count;
}

}  // namespace

Utf8Stream::Utf8Stream(const ReadingChain& chain)
    : needed_(chain.final_code_page == encoding::UTF8_CODE_PAGE ||
              !platform::has_own_converter(chain.final_code_page)) {}

bool Utf8Stream::take(std::string_view piece, bool last) {
    if (!needed_) return true;
    if (!held_.empty()) {
        const auto whole =
            static_cast<std::size_t>(utf8::announced_continuations(utf8::byte_at(held_, 0))) + 1;
        const std::size_t more = std::min(whole - held_.size(), piece.size());
        held_.append(piece.substr(0, more));
        piece.remove_prefix(more);
        if (held_.size() < whole) return !last && begins_sequence(held_);
        if (utf8::sequence_length(held_, 0) != whole) return false;
        held_.clear();
    }
    const std::size_t valid = utf8::valid_prefix_length(piece);
    if (valid == piece.size()) return true;
    const std::string_view rest = piece.substr(valid);
    if (last || !begins_sequence(rest)) return false;
    held_.assign(rest);
    return true;
}

void InputPosition::pass(std::string_view bytes) {
    const std::size_t last_feed = bytes.rfind('\n');
    if (last_feed != std::string_view::npos) {
        lines += line_feeds(bytes);
        line_start = offset + last_feed + 1;
    }
    offset += bytes.size();
}

TextPlace failing_place(ChainConverter converter, Utf8Stream check, InputPosition before,
                        std::string_view piece, bool last) {
    const InputPosition at_start = before;
    std::string out;
    for (std::size_t at = 0; at < piece.size();) {
        const std::size_t feed = piece.find('\n', at);
        const std::size_t end = feed == std::string_view::npos ? piece.size() : feed + 1;
        const bool final = last && end == piece.size();
        const std::string_view line = piece.substr(at, end - at);
        if (!converter.convert(line, final, out) || !check.take(out, final)) {
            return {before.lines + 1, before.line_start};
        }
        before.pass(line);
        at = end;
    }
    // Every line passes alone (or there are none): the fault is where the piece begins.
    return {at_start.lines + 1, at_start.line_start};
}

}  // namespace tavrik::cli
