// The pages text is shown in and read in: a page a text was shown in gives every byte back as it
// was (the person saw a character for each), reading is strict, and the marks of garbling are
// found in garbled words and in no right word of any language.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "encoding/text_pages.hpp"
#include "engine/mojibake_marks.hpp"

namespace tavrik {
namespace {

using encoding::TextPage;

TEST(TextPages, EveryByteShownComesBackAsItWas) {
    std::string every_byte;
    for (int byte = 0; byte < 256; ++byte)
        every_byte.push_back(static_cast<char>(byte));
    const TextPage total[] = {TextPage::cp1252, TextPage::latin1,   TextPage::cp437,
                              TextPage::cp850,  TextPage::win1251,  TextPage::cp866,
                              TextPage::koi8r,  TextPage::iso88595, TextPage::macroman};
    for (const TextPage page : total) {
        std::u32string shown;
        ASSERT_TRUE(encoding::read_text(page, every_byte, shown)) << text_page_name(page);
        std::string written;
        ASSERT_TRUE(encoding::write_text(page, shown, written)) << text_page_name(page);
        EXPECT_EQ(written, every_byte) << text_page_name(page);
    }
}

TEST(TextPages, ReadingIsStrictWritingRefusesWhatAPageLacks) {
    std::u32string text;
    EXPECT_FALSE(encoding::read_text(TextPage::cp1251, "\x98", text));  // undefined in 1251
    EXPECT_TRUE(encoding::read_text(TextPage::win1251, "\x98", text));  // Windows' U+0098
    EXPECT_EQ(text, U"\u0098");
    EXPECT_FALSE(encoding::read_text(TextPage::utf8, "\xD0", text));  // half a sequence
    std::string bytes;
    EXPECT_FALSE(encoding::write_text(TextPage::cp1252, U"привет", bytes));
    EXPECT_FALSE(encoding::write_text(TextPage::utf8, std::u32string(1, 0xD800), bytes));
    // Windows-1252 shows its five undefined bytes as the C1 controls of the same numbers.
    EXPECT_TRUE(encoding::read_text(TextPage::cp1252, "\x81\x8D\x8F\x90\x9D", text));
    EXPECT_EQ(text, U"\u0081\u008D\u008F\u0090\u009D");
}

// Rereading at once gives what writing the bytes and reading them gives, for every pair of pages:
// right UTF-8 of one to four bytes, and bytes that are no UTF-8 (a lone continuation, an overlong
// form, a surrogate, past U+10FFFF, a sequence cut short).
TEST(TextPages, RereadingAtOnceIsWritingThenReading) {
    const std::u32string texts[] = {
        U"Привет, мир",
        U"РџСЂРёРІРµС‚ 1.txt",
        U"╤Б╨░╨╜╤Г╨╖╨╡╨╗",
        U"Ïðèâåò",
        U"ЏаЁўҐв",
        U"Ð",
        U"Ð ",
        U"â‚¬ ðŸ˜€ Ã©",
        U"a\u0080",
        U"\u00C0\u0080",
        U"\u00E0\u0080\u0080",
        U"\u00E0\u00A0\u0080",
        U"\u00ED\u00A0\u0080",
        U"\u00ED\u009F\u00BF",
        U"\u00F0\u008F\u00BF\u00BF",
        U"\u00F4\u0090\u0080\u0080",
        U"\u00F4\u008F\u00BF\u00BF",
        U"\u00F5\u0080\u0080\u0080",
        U"\u00F0\u0090\u0080",
        U"\u00C2",
        U"",
    };
    const auto some = [](char32_t c) { return c != U'й' && c != U'€'; };
    for (const TextPage shown : encoding::SHOWN_PAGES) {
        for (const TextPage source : encoding::SOURCE_PAGES) {
            for (const std::u32string& text : texts) {
                std::string bytes;
                std::u32string expected, at_once, checked;
                const bool written = encoding::write_text(shown, text, bytes);
                const bool read = written && encoding::read_text(source, bytes, expected);
                ASSERT_EQ(encoding::reread_text(shown, source, text, at_once), read)
                    << text_page_name(shown) << " " << text_page_name(source);
                const bool kept = read && std::all_of(expected.begin(), expected.end(), some);
                ASSERT_EQ(encoding::reread_text_if(shown, source, text, checked, some), kept);
                if (read) {
                    EXPECT_EQ(at_once, expected);
                }
                if (kept) {
                    EXPECT_EQ(checked, expected);
                }
            }
        }
    }
}

TEST(MojibakeMarks, GarbledWordsShowThemRightWordsOfAnyLanguageDoNot) {
    const char* const garbled[] = {
        "РџСЂРёРІРµС‚", "Ð¿Ñ€Ð¸Ð²ÐµÑ‚", "Ïðèâåò", "╧ЁштхЄ", "рТЙЧЕФ", "╤ü╨░╨╜",   "èÏÔÉÔÅ",
        "╚φ±≥≡≤∞σφ≥√",  "Р°Р±",         "ЏаЁўҐв", "€ра",    "с¦",     "€Ја\u00A0"};
    for (const char* word : garbled) {
        EXPECT_GT(count_mojibake_marks(encoding::code_points_of(word)), 0) << word;
        EXPECT_TRUE(shows_mojibake_marks(encoding::code_points_of(word))) << word;
    }
    const char* const right[] = {
        "Привет", "ёжик",        "prématurée", "Příliš", "Zażółć",   "açılamadı", "ações",
        "Straße", "Привіт",      "п’ять",      "вёска",  "Ђорђе",    "«цитата»…", "№5",
        "iPhone", "в\u00A0доме", "МГУ",        "5 €",    "цена: 5€", "Tavrik™",   "€ 5 и ‰ 3"};
    for (const char* word : right) {
        EXPECT_EQ(count_mojibake_marks(encoding::code_points_of(word)), 0) << word;
        EXPECT_FALSE(shows_mojibake_marks(encoding::code_points_of(word))) << word;
    }
}

// Each kind of mark counted once, in characters looked up in a table and in those past it.
TEST(MojibakeMarks, EachKindCountsOnce) {
    const struct {
        const char* what;
        std::u32string text;
        int marks;
    } cases[] = {
        {"a C1 control", U"a\u0098b", 1},
        {"a Cyrillic capital after a small letter", U"рП", 1},
        {"capitals, then a small letter", U"УСРа", 1},
        {"Cyrillic beside Latin", U"яz", 1},
        {"box drawing beside a letter", U"\u2502я", 1},
        {"a Greek letter beside a sign", U"\u03C3\u2264", 1},
        {"a sign between letters", U"я\u00A4я", 1},
        {"signs side by side after a letter", U"я\u00A7\u00A5", 1},
        {"an odd sign before a Cyrillic word", U"\u20ACра", 1},
        {"an odd sign after a Cyrillic word", U"с\u00A6", 1},
        {"typographic signs side by side", U"я\u2026\u00BB", 0},
        {"three accented Latin letters", U"\u00C0\u00E8\u00E9", 1},
        {"Windows-1252's own letters run with them", U"\u0160\u00E8\u0153", 1},
        {"a capital past the table after a small letter", U"\u0101\u0100", 0},
        {"letters of the last tabled Cyrillic pair", U"\u052F\u052E", 1},
        {"ASCII", U"camelCase", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(count_mojibake_marks(c.text), c.marks) << c.what;
        EXPECT_EQ(shows_mojibake_marks(c.text), c.marks > 0) << c.what;
    }
}

TEST(CodePoints, UtfEightBothWaysWithReplacements) {
    const struct {
        const char* what;
        std::string utf8;
        std::u32string code_points;
    } cases[] = {
        {"one to four bytes", "a\xD0\xAF\xE2\x82\xAC\xF0\x9F\x93\x82", U"aЯ€\U0001F4C2"},
        {"nothing", "", U""},
        {"an ill-formed byte", "\xD0x", U"\uFFFDx"},
        {"a surrogate's bytes", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"a NUL", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encoding::code_points_of(c.utf8), c.code_points) << c.what;
    const struct {
        const char* what;
        std::u32string code_points;
        std::string utf8;
    } back[] = {
        {"one to four bytes", U"aЯ€\U0001F4C2", "a\xD0\xAF\xE2\x82\xAC\xF0\x9F\x93\x82"},
        {"a surrogate", std::u32string(1, 0xD800), "\xEF\xBF\xBD"},
        {"past U+10FFFF", std::u32string(1, 0x110000), "\xEF\xBF\xBD"},
        {"U+10FFFF", std::u32string(1, 0x10FFFF), "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& c : back)
        EXPECT_EQ(encoding::utf8_of(c.code_points), c.utf8) << c.what;
}

}  // namespace
}  // namespace tavrik
