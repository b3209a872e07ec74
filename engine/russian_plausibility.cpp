#include "engine/russian_plausibility.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "encoding/utf8.hpp"
#include "engine/russian_punctuation.hpp"

namespace tavrik {

namespace {

constexpr int ALPHABET = 34;  // the boundary and 33 letters
constexpr std::array<std::uint8_t, ALPHABET* ALPHABET* ALPHABET> TRIGRAM_COST = {
#include "engine/language_model/russian_trigrams.inc"
};

// Costs in the model's unit (an eighth of a bit).
constexpr int JUNK_COST = 96;        // a character that has no place in Russian text
constexpr int FOREIGN_COST = 24;     // a letter of another alphabet
constexpr int CASE_SHAPE_COST = 64;  // a capital right after a small letter, as in «рТЙЧЕФ»

enum class Kind { Boundary, Letter, Foreign, Junk };

struct Character {
    Kind kind;
    int letter = 0;  // 1..33 for a Russian letter: а..е, ё, ж..я
    bool capital = false;
};

constexpr Character classify_by_rule(char32_t cp) {
    if (cp >= 0x0430 && cp <= 0x044F) {
        const int index = static_cast<int>(cp - 0x0430);
        return {Kind::Letter, index < 6 ? index + 1 : index + 2, false};
    }
    if (cp >= 0x0410 && cp <= 0x042F) {
        const int index = static_cast<int>(cp - 0x0410);
        return {Kind::Letter, index < 6 ? index + 1 : index + 2, true};
    }
    if (cp == 0x0451) return {Kind::Letter, 7, false};  // ё
    if (cp == 0x0401) return {Kind::Letter, 7, true};   // Ё
    if ((cp >= U'a' && cp <= U'z') || (cp >= U'A' && cp <= U'Z')) return {Kind::Foreign};
    if (cp < 0x80) {
        return cp >= 0x20 || cp == U'\t' || cp == U'\n' || cp == U'\r' ? Character{Kind::Boundary}
                                                                       : Character{Kind::Junk};
    }
    // The punctuation of Russian typography, and the no-break space it sets.
    return cp == 0x00A0 || is_russian_punctuation(cp) ? Character{Kind::Boundary}
                                                      : Character{Kind::Junk};
}

// The rule above for every character up to the end of the Russian letters' block: the kind in
// bits 8 and 9, a capital in bit 6, the letter in the low six.
constexpr char32_t TABULATED = 0x0460;

constexpr std::array<std::uint16_t, TABULATED> make_classes() {
    std::array<std::uint16_t, TABULATED> classes{};
    for (char32_t cp = 0; cp < TABULATED; ++cp) {
        const Character c = classify_by_rule(cp);
        classes[cp] = static_cast<std::uint16_t>(static_cast<int>(c.kind) << 8 |
                                                 (c.capital ? 0x40 : 0) | c.letter);
    }
    return classes;
}
constexpr std::array<std::uint16_t, TABULATED> CLASSES = make_classes();

inline Character classify(char32_t cp) {
    if (cp >= TABULATED) return classify_by_rule(cp);
    const std::uint16_t c = CLASSES[cp];
    return {static_cast<Kind>(c >> 8), c & 0x3F, (c & 0x40) != 0};
}

}  // namespace

namespace {

// The measure over the characters `next` gives until it gives none.
template <class Next>
PlausibilityMeasure measure_characters(Next next) {
    std::int64_t cost = 0;
    std::int64_t symbols = 0;
    int before = 0, last = 0;  // the two symbols before, 0 for a boundary
    bool small_before = false;
    const auto add = [&](int symbol) {
        if (symbol == 0 && last == 0) return;  // a run of boundaries is one
        cost +=
            TRIGRAM_COST[static_cast<std::size_t>((before * ALPHABET + last) * ALPHABET + symbol)];
        ++symbols;
        before = last;
        last = symbol;
    };
    for (char32_t cp = 0; next(cp);) {
        const Character c = classify(cp);
        switch (c.kind) {
            case Kind::Letter:
                if (c.capital && small_before) cost += CASE_SHAPE_COST;
                small_before = !c.capital;
                add(c.letter);
                continue;
            case Kind::Junk:
                cost += JUNK_COST;
                break;
            case Kind::Foreign:
                cost += FOREIGN_COST;
                break;
            case Kind::Boundary:
                break;
        }
        small_before = false;
        if (c.kind != Kind::Boundary) ++symbols;
        add(0);
    }
    add(0);
    if (symbols == 0) return {};
    return {-static_cast<double>(cost) / static_cast<double>(symbols), symbols};
}

}  // namespace

PlausibilityMeasure measure_plausibility(std::string_view utf8) {
    if (utf8.size() > PLAUSIBILITY_SAMPLE) utf8 = utf8.substr(0, PLAUSIBILITY_SAMPLE);
    std::size_t i = 0;
    return measure_characters([&](char32_t& cp) {
        if (i == utf8.size()) return false;
        cp = encoding::utf8::next_or_replacement(utf8, i);
        return true;
    });
}

PlausibilityMeasure measure_plausibility(std::u32string_view text) {
    std::size_t i = 0;
    return measure_characters([&](char32_t& cp) {
        if (i == text.size()) return false;
        cp = text[i++];
        return true;
    });
}

PlausibilityMeasure measure_plausibility(std::u16string_view text) {
    // Past the sample, the UTF-8 measure would cut the text: a text that long is measured so.
    if (text.size() * 3 > PLAUSIBILITY_SAMPLE) {
        std::string utf8;
        encoding::utf8::encode_lenient(text, utf8);
        return measure_plausibility(std::string_view(utf8));
    }
    std::size_t i = 0;
    return measure_characters([&](char32_t& cp) {
        if (i == text.size()) return false;
        cp = text[i++];
        if (cp >= 0xD800 && cp <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 &&
            text[i] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i++] - 0xDC00u);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        return true;
    });
}

double russian_plausibility(std::string_view utf8) {
    return measure_plausibility(utf8).average;
}

}  // namespace tavrik
