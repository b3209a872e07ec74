#include "engine/text_score.hpp"

#include <cstring>
#include <limits>

#include "platform/codepages/utf8.hpp"

namespace tavrik {

namespace {

// Every common word begins with a two-byte Cyrillic letter (lead D0 or D1). For each such first
// letter, the words that begin with it, as bits over COMMON_WORDS' indices.
constexpr std::size_t letter_slot(unsigned char lead, unsigned char second) {
    return (static_cast<std::size_t>(lead & 1u) << 6) | (second & 0x3Fu);
}

constexpr auto make_first_letter_table() {
    std::array<std::uint16_t, 128> words_by_letter{};
    for (std::size_t w = 0; COMMON_WORDS[w] != nullptr; ++w) {
        const auto lead = static_cast<unsigned char>(COMMON_WORDS[w][0]);
        const auto second = static_cast<unsigned char>(COMMON_WORDS[w][1]);
        if (lead != 0xD0 && lead != 0xD1) throw "every common word starts with D0 or D1";
        words_by_letter[letter_slot(lead, second)] |= static_cast<std::uint16_t>(1u << w);
    }
    return words_by_letter;
}
constexpr auto WORDS_BY_FIRST_LETTER = make_first_letter_table();

constexpr auto make_word_lengths() {
    std::array<std::size_t, COMMON_WORDS.size()> lengths{};
    for (std::size_t w = 0; COMMON_WORDS[w] != nullptr; ++w) {
        lengths[w] = std::char_traits<char>::length(COMMON_WORDS[w]);
    }
    return lengths;
}
constexpr auto WORD_LENGTHS = make_word_lengths();

constexpr std::int32_t clamp_count(std::int64_t count) {
    return count > std::numeric_limits<std::int32_t>::max()
               ? std::numeric_limits<std::int32_t>::max()
               : static_cast<std::int32_t>(count);
}

}  // namespace

int is_strict_utf8(std::string_view text) { return platform::utf8::is_well_formed(text) ? 1 : 0; }

std::int32_t count_cyrillic_utf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::int64_t count = 0;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        char32_t cp;
        if (lead >= 0xC0 && lead <= 0xDF) {
            if (i + 1 >= n) break;  // a lone lead at the end: nothing more to count
            cp = (char32_t{lead} & 0x1F) << 6 | (p[i + 1] & 0x3Fu);
            i += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            if (n - i < 3) {
                ++i;
                continue;
            }
            cp = (char32_t{lead} & 0x0F) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
            i += 3;
        } else if (lead >= 0xF0 && lead <= 0xF7) {
            if (n - i < 4) {
                ++i;
                continue;
            }
            cp = (char32_t{lead} & 0x07) << 18 | (p[i + 1] & 0x3Fu) << 12 |
                 (p[i + 2] & 0x3Fu) << 6 | (p[i + 3] & 0x3Fu);
            i += 4;
        } else {
            ++i;
            continue;
        }
        if (cp >= 0x400 && cp <= 0x52F) ++count;
    }
    return clamp_count(count);
}

int contains_common_word(std::string_view text) {
    if (const void* nul = std::memchr(text.data(), 0, text.size())) {
        text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if ((p[i] & 0xFE) != 0xD0) continue;
        std::uint16_t words = WORDS_BY_FIRST_LETTER[letter_slot(p[i], p[i + 1])];
        for (std::size_t w = 0; words != 0; ++w, words >>= 1) {
            if ((words & 1u) && n - i >= WORD_LENGTHS[w] &&
                std::memcmp(p + i, COMMON_WORDS[w], WORD_LENGTHS[w]) == 0) {
                return 1;
            }
        }
    }
    return 0;
}

double score::from_measures(std::uint64_t length, std::int64_t cyrillic, std::int64_t printable,
                            bool common_word) {
    const auto size = static_cast<double>(length);
    const double density = CYRILLIC_WEIGHT * static_cast<double>(cyrillic) / size;
    double result = density > HIGH_DENSITY ? HIGH_BASE
                    : density > LOW_DENSITY ? MIDDLE_BASE
                                            : LOW_BASE;
    if (common_word) result += COMMON_WORD_BONUS;
    if (static_cast<double>(printable) / size > PRINTABLE_SHARE) result += PRINTABLE_BONUS;
    return result;
}

double score_text(std::string_view text) {
    if (text.empty()) return score::EMPTY;
    if (!platform::utf8::is_well_formed(text)) return score::ILL_FORMED;

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
    for (const unsigned char* d = p; (d = static_cast<const unsigned char*>(
                                          std::memchr(d, 0xD4, n - static_cast<std::size_t>(d - p))));
         ++d) {
        if (d[1] <= 0xAF) ++cyrillic;  // a well-formed D4 always has a continuation after it
    }
    return score::from_measures(n, cyrillic, printable, contains_common_word(text) != 0);
}

}  // namespace tavrik
