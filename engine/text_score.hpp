// How plausible a UTF-8 text is as Russian: a coarse grade from four measures of its bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavrik {

// Twelve common Russian words, lower case, in UTF-8; the list ends with a null entry.
inline constexpr std::array<const char*, 13> COMMON_WORDS = {
    "привет", "мир",   "что",   "как",       "для",       "это",   "если",
    "нет",    "можно", "чтобы", "нормально", "результат", nullptr,
};

// 1 when `text` is well-formed UTF-8 (RFC 3629), else 0. Empty text is well-formed.
int is_strict_utf8(std::string_view text);

// Code points U+0400..U+052F, decoding each sequence by its lead byte alone: exact on
// well-formed UTF-8, and defined (if meaningless) on anything else.
std::int32_t count_cyrillic_utf8(std::string_view text);

// 1 when any common word occurs in `text` as a run of bytes (case-sensitive, inside longer words
// too). The search ends at the first zero byte, as a search of a zero-terminated string does.
int contains_common_word(std::string_view text);

// 0 for empty text, 1 for text that is not well-formed UTF-8, otherwise a base of 100, 80 or 60
// by Cyrillic density, +50 for a common word, +10 for a mostly printable ASCII text.
double score_text(std::string_view text);

namespace score {
inline constexpr double EMPTY = 0.0;
inline constexpr double ILL_FORMED = 1.0;
inline constexpr double CYRILLIC_WEIGHT = 3.0;
inline constexpr double HIGH_DENSITY = 0.3;
inline constexpr double LOW_DENSITY = 0.1;
inline constexpr double HIGH_BASE = 100.0;
inline constexpr double MIDDLE_BASE = 80.0;
inline constexpr double LOW_BASE = 60.0;
inline constexpr double COMMON_WORD_BONUS = 50.0;
inline constexpr double PRINTABLE_SHARE = 0.7;
inline constexpr double PRINTABLE_BONUS = 10.0;

// The score of a well-formed, non-empty text from its measures.
double from_measures(std::uint64_t length, std::int64_t cyrillic, std::int64_t printable,
                     bool common_word);
}  // namespace score

}  // namespace tavrik
