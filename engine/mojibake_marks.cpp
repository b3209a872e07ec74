#include "engine/mojibake_marks.hpp"

#include <cstddef>

#include "engine/russian_punctuation.hpp"

namespace tavrik {

namespace {

enum class Script : unsigned char { None, Cyrillic, Latin, Greek };

struct Shape {
    Script script = Script::None;  // None: not a letter
    bool capital = false;
    bool accented = false;     // a letter of Latin-1 (or Windows-1252) outside ASCII
    bool box = false;          // box drawing or a block element
    bool sign = false;         // outside ASCII, no letter, no space
    bool typographic = false;  // punctuation right Russian text puts side by side («…»)
};

Shape shape_of(char32_t c) {
    if (c < 0x80) {
        if (c >= U'A' && c <= U'Z') return {Script::Latin, true};
        if (c >= U'a' && c <= U'z') return {Script::Latin, false};
        return {};
    }
    if (c >= 0x0410 && c <= 0x042F) return {Script::Cyrillic, true};
    if (c >= 0x0430 && c <= 0x044F) return {Script::Cyrillic, false};
    if (c >= 0x0400 && c <= 0x040F) return {Script::Cyrillic, true};
    if (c >= 0x0450 && c <= 0x045F) return {Script::Cyrillic, false};
    if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) ||
        (c >= 0x04D0 && c <= 0x052F)) {
        return {Script::Cyrillic, c % 2 == 0};
    }
    if (c >= 0x04C0 && c <= 0x04CF) return {Script::Cyrillic, c == 0x04C0 || c % 2 == 1};
    // Latin-1's letters; µ, ª and º are letters only by name and show up as signs in garbling.
    if (c >= 0x00C0 && c <= 0x00FF && c != 0x00D7 && c != 0x00F7) {
        return {Script::Latin, c <= 0x00DE, true};
    }
    // Windows-1252's own letters take part in runs; the rest of Latin Extended does not, as
    // no garbling of Russian makes them and Polish or Czech runs them («żółć»).
    if (c == 0x0152 || c == 0x0160 || c == 0x0178 || c == 0x017D)
        return {Script::Latin, true, true};
    if (c == 0x0153 || c == 0x0161 || c == 0x017E || c == 0x0192)
        return {Script::Latin, false, true};
    if (c >= 0x0100 && c <= 0x024F) return {Script::Latin, c % 2 == 0};
    if (c >= 0x0391 && c <= 0x03A9) return {Script::Greek, true};
    if (c >= 0x03B1 && c <= 0x03C9) return {Script::Greek, false};
    if (c >= 0x0080 && c <= 0x009F) return {};  // C1 controls: counted on their own
    if ((c >= 0x2500 && c <= 0x259F) || c == 0x25A0) return {Script::None, false, false, true};
    switch (c) {
        // Right between letters: a no-break space (typesetting), the apostrophes of English
        // and Ukrainian, hyphens, Catalan's middle dot.
        case 0x00A0:
        case 0x2019:
        case 0x02BC:
        case 0x2010:
        case 0x2011:
        case 0x00B7:
            return {};
        default:
            break;
    }
    if (c == 0x2028 || c == 0x2029 || (c >= 0x2000 && c <= 0x200B) || c == 0x3000) return {};
    return {Script::None, false, false, false, true, is_russian_punctuation(c)};
}

bool is_letter(const Shape& s) {
    return s.script != Script::None;
}

// Signs right text never writes against a word, which 866 and MacCyrillic shown as 1251 make
// of letters («€ра» for «Игра», «с¦» for «ёж»).
bool is_odd_sign(char32_t c) {
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

}  // namespace

int count_mojibake_marks(std::u32string_view text) {
    int marks = 0;
    int accented_run = 0;
    Shape before2, before;  // the two characters before the current one
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        const Shape now = shape_of(c);
        if (c >= 0x80 && c <= 0x9F) ++marks;
        if (is_letter(before) && is_letter(now)) {
            const bool cyrillic_before = before.script == Script::Cyrillic;
            const bool cyrillic_now = now.script == Script::Cyrillic;
            if (!before.capital && now.capital && (cyrillic_before || cyrillic_now)) ++marks;
            // Capitals, then a small letter, inside one Cyrillic word («УСРац»).
            if (before2.script == Script::Cyrillic && before2.capital && cyrillic_before &&
                before.capital && cyrillic_now && !now.capital)
                ++marks;
            if (cyrillic_before != cyrillic_now) ++marks;  // Cyrillic beside Latin or Greek
        }
        // Box drawing beside a letter or a sign, a Greek letter beside a sign: the DOS pages'
        // pictures and Greek among letters («╧≡ΦΓσ≥», 1251 shown as 437).
        if ((before.box && (is_letter(now) || now.sign)) ||
            ((is_letter(before) || before.sign) && now.box))
            ++marks;
        if ((before.script == Script::Greek && now.sign) ||
            (before.sign && now.script == Script::Greek))
            ++marks;
        if (is_letter(before2) && before.sign && is_letter(now)) ++marks;
        // An odd sign at a Cyrillic word's edge (between letters it is counted above).
        if (i > 0 && is_odd_sign(text[i - 1]) && is_letter(before2) != is_letter(now) &&
            (before2.script == Script::Cyrillic || now.script == Script::Cyrillic))
            ++marks;
        // Signs side by side next to a letter («¥­â»), but for typographic punctuation.
        if (before.sign && now.sign && !(before.typographic && now.typographic) &&
            (is_letter(before2) || (i + 1 < text.size() && is_letter(shape_of(text[i + 1])))))
            ++marks;
        accented_run = now.accented ? accented_run + 1 : 0;
        if (accented_run > 2) ++marks;
        before2 = before;
        before = now;
    }
    if (!text.empty() && is_odd_sign(text.back()) && before2.script == Script::Cyrillic) ++marks;
    return marks;
}

}  // namespace tavrik
