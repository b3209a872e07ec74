#include "engine/text_score.hpp"

#include <cstring>
#include <limits>

#include "encoding/up_to_nul.hpp"
#include "encoding/utf8.hpp"
#include "engine/common_words.hpp"

namespace tavrik {

namespace {

constexpr std::int32_t clamp_count(std::int64_t count) {
    return count > std::numeric_limits<std::int32_t>::max()
               ? std::numeric_limits<std::int32_t>::max()
               : static_cast<std::int32_t>(count);
}

}  // namespace

int is_strict_utf8(std::string_view text) {
    return encoding::utf8::is_well_formed(text) ? 1 : 0;
}

std::int32_t count_cyrillic_utf8(std::string_view text) {
    // Counts in any bytes: a sequence is read as its lead announces, its continuation bytes
    // unchecked; a sequence cut off by the end of the text, and any byte that starts nothing,
    // are skipped one byte at a time.
    std::int64_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int more = encoding::utf8::announced_continuations(encoding::utf8::byte_at(text, i));
        if (more <= 0 || text.size() - i <= static_cast<std::size_t>(more)) {
            ++i;
            continue;
        }
        const char32_t code_point = encoding::utf8::assemble(text, i, more);
        i += static_cast<std::size_t>(more) + 1;
        if (code_point >= 0x400 && code_point <= 0x52F) ++count;
    }
    return clamp_count(count);
}

int contains_common_word(std::string_view text) {
    // The search ends at the first zero byte, as a search of a zero-terminated string does.
    return COMMON_WORDS_IN_UTF8.occurs_in(encoding::up_to_nul(text)) ? 1 : 0;
}

double score::from_measures(std::uint64_t length, std::int64_t cyrillic, std::int64_t printable,
                            bool common_word) {
    const auto size = static_cast<double>(length);
    const double density = CYRILLIC_WEIGHT * static_cast<double>(cyrillic) / size;
    double result = density > HIGH_DENSITY  ? HIGH_BASE
                    : density > LOW_DENSITY ? MIDDLE_BASE
                                            : LOW_BASE;
    if (common_word) result += COMMON_WORD_BONUS;
    if (static_cast<double>(printable) / size > PRINTABLE_SHARE) result += PRINTABLE_BONUS;
    return result;
}

double score_text(std::string_view text) {
    if (text.empty()) return score::EMPTY;
    if (!encoding::utf8::is_well_formed(text)) return score::ILL_FORMED;

    // Well-formed, so Cyrillic code points are exactly the leads D0..D3 and D4 before 80..AF.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::int64_t cyrillic = 0;
    std::int64_t printable = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        cyrillic += static_cast<unsigned char>(b - 0xD0) < 4;
        printable += static_cast<unsigned char>(b - 0x20) < 0x5F;
    }
    for (const unsigned char* d = p; (d = static_cast<const unsigned char*>(std::memchr(
                                          d, 0xD4, n - static_cast<std::size_t>(d - p))));
         ++d) {
        if (d[1] <= 0xAF) ++cyrillic;  // a well-formed D4 always has a continuation after it
    }
    return score::from_measures(n, cyrillic, printable, contains_common_word(text) != 0);
}

}  // namespace tavrik
