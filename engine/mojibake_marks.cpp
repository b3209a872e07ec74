#include "engine/mojibake_marks.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/russian_punctuation.hpp"

namespace tavrik {

namespace {

// What the marks look at in a character, packed in a byte: its script (none when it is no
// letter), then the flags below.
using Shape = std::uint8_t;
constexpr Shape NO_SCRIPT = 0, CYRILLIC = 1, LATIN = 2, GREEK = 3, SCRIPT = 3;
constexpr Shape CAPITAL = 1 << 2;
constexpr Shape ACCENTED = 1 << 3;     // a letter of Latin-1 (or Windows-1252) outside ASCII
constexpr Shape BOX = 1 << 4;          // box drawing or a block element
constexpr Shape SIGN = 1 << 5;         // outside ASCII, no letter, no space
constexpr Shape TYPOGRAPHIC = 1 << 6;  // punctuation right Russian text puts side by side («…»)

constexpr Shape letter(Shape script, bool capital, bool accented = false) {
    return static_cast<Shape>(script | (capital ? CAPITAL : 0) | (accented ? ACCENTED : 0));
}

constexpr Shape shape_by_rules(char32_t c) {
    if (c < 0x80) {
        if (c >= U'A' && c <= U'Z') return letter(LATIN, true);
        if (c >= U'a' && c <= U'z') return letter(LATIN, false);
        return NO_SCRIPT;
    }
    if (c >= 0x0410 && c <= 0x042F) return letter(CYRILLIC, true);
    if (c >= 0x0430 && c <= 0x044F) return letter(CYRILLIC, false);
    if (c >= 0x0400 && c <= 0x040F) return letter(CYRILLIC, true);
    if (c >= 0x0450 && c <= 0x045F) return letter(CYRILLIC, false);
    if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) ||
        (c >= 0x04D0 && c <= 0x052F)) {
        return letter(CYRILLIC, c % 2 == 0);
    }
    if (c >= 0x04C0 && c <= 0x04CF) return letter(CYRILLIC, c == 0x04C0 || c % 2 == 1);
    // Latin-1's letters; µ, ª and º are letters only by name and show up as signs in garbling.
    if (c >= 0x00C0 && c <= 0x00FF && c != 0x00D7 && c != 0x00F7)
        return letter(LATIN, c <= 0x00DE, true);
    // Windows-1252's own letters take part in runs; the rest of Latin Extended does not, as
    // no garbling of Russian makes them and Polish or Czech runs them («żółć»).
    if (c == 0x0152 || c == 0x0160 || c == 0x0178 || c == 0x017D) return letter(LATIN, true, true);
    if (c == 0x0153 || c == 0x0161 || c == 0x017E || c == 0x0192) return letter(LATIN, false, true);
    if (c >= 0x0100 && c <= 0x024F) return letter(LATIN, c % 2 == 0);
    if (c >= 0x0391 && c <= 0x03A9) return letter(GREEK, true);
    if (c >= 0x03B1 && c <= 0x03C9) return letter(GREEK, false);
    if (c >= 0x0080 && c <= 0x009F) return NO_SCRIPT;  // C1 controls: counted on their own
    if ((c >= 0x2500 && c <= 0x259F) || c == 0x25A0) return BOX;
    switch (c) {
        // Right between letters: a no-break space (typesetting), the apostrophes of English
        // and Ukrainian, hyphens, Catalan's middle dot.
        case 0x00A0:
        case 0x2019:
        case 0x02BC:
        case 0x2010:
        case 0x2011:
        case 0x00B7:
            return NO_SCRIPT;
        default:
            break;
    }
    if (c == 0x2028 || c == 0x2029 || (c >= 0x2000 && c <= 0x200B) || c == 0x3000) return NO_SCRIPT;
    return static_cast<Shape>(SIGN | (is_russian_punctuation(c) ? TYPOGRAPHIC : 0));
}

// The shapes of the characters most text is made of, ASCII to the end of Cyrillic, looked up.
constexpr char32_t TABLED = 0x0530;
constexpr std::array<Shape, TABLED> SHAPES = [] {
    std::array<Shape, TABLED> shapes{};
    for (char32_t c = 0; c < TABLED; ++c)
        shapes[c] = shape_by_rules(c);
    return shapes;
}();

inline Shape shape_of(char32_t c) {
    return c < TABLED ? SHAPES[c] : shape_by_rules(c);
}

// Signs right text never writes against a word, which 866 and MacCyrillic shown as 1251 make
// of letters («€ра» for «Игра», «с¦» for «ёж»).
constexpr bool is_odd_sign(char32_t c) {
    switch (c) {
        case 0x00A4:  // ¤
        case 0x00A6:  // ¦
        case 0x00AC:  // ¬
        case 0x2020:  // †
        case 0x2021:  // ‡
        case 0x2030:  // ‰
        case 0x20AC:  // €
        case 0x2122:  // ™
            return true;
        default:
            return false;
    }
}

constexpr bool is_letter(Shape s) {
    return (s & SCRIPT) != NO_SCRIPT;
}
constexpr bool is_cyrillic(Shape s) {
    return (s & SCRIPT) == CYRILLIC;
}

// The marks of `text`; with `FIRST_ONLY`, 1 at the first.
template <bool FIRST_ONLY>
int marks_in(std::u32string_view text) {
    int marks = 0;
    int accented_run = 0;
    Shape before2 = NO_SCRIPT, before = NO_SCRIPT;  // the two characters before the current one
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        const Shape now = shape_of(c);
        if (c >= 0x80 && c <= 0x9F) ++marks;
        if (is_letter(before) && is_letter(now)) {
            const bool cyrillic_before = is_cyrillic(before);
            const bool cyrillic_now = is_cyrillic(now);
            if (!(before & CAPITAL) && (now & CAPITAL) && (cyrillic_before || cyrillic_now))
                ++marks;
            // Capitals, then a small letter, inside one Cyrillic word («УСРац»).
            if (is_cyrillic(before2) && (before2 & CAPITAL) && cyrillic_before &&
                (before & CAPITAL) && cyrillic_now && !(now & CAPITAL))
                ++marks;
            if (cyrillic_before != cyrillic_now) ++marks;  // Cyrillic beside Latin or Greek
        }
        // Box drawing beside a letter or a sign, a Greek letter beside a sign: the DOS pages'
        // pictures and Greek among letters («╧≡ΦΓσ≥», 1251 shown as 437).
        if (((before & BOX) && (is_letter(now) || (now & SIGN))) ||
            ((is_letter(before) || (before & SIGN)) && (now & BOX)))
            ++marks;
        if (((before & SCRIPT) == GREEK && (now & SIGN)) ||
            ((before & SIGN) && (now & SCRIPT) == GREEK))
            ++marks;
        if (is_letter(before2) && (before & SIGN) && is_letter(now)) ++marks;
        // An odd sign at a Cyrillic word's edge (between letters it is counted above).
        if (i > 0 && is_odd_sign(text[i - 1]) && is_letter(before2) != is_letter(now) &&
            (is_cyrillic(before2) || is_cyrillic(now)))
            ++marks;
        // Signs side by side next to a letter («¥­â»), but for typographic punctuation.
        if ((before & SIGN) && (now & SIGN) && !((before & TYPOGRAPHIC) && (now & TYPOGRAPHIC)) &&
            (is_letter(before2) || (i + 1 < text.size() && is_letter(shape_of(text[i + 1])))))
            ++marks;
        accented_run = (now & ACCENTED) ? accented_run + 1 : 0;
        if (accented_run > 2) ++marks;
        if constexpr (FIRST_ONLY) {
            if (marks > 0) return 1;
        }
        before2 = before;
        before = now;
    }
    if (!text.empty() && is_odd_sign(text.back()) && is_cyrillic(before2)) ++marks;
    return marks;
}

}  // namespace

int count_mojibake_marks(std::u32string_view text) {
    return marks_in<false>(text);
}

bool shows_mojibake_marks(std::u32string_view text) {
    return marks_in<true>(text) > 0;
}

}  // namespace tavrik
