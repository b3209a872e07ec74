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
    for (const char* word : garbled)
        EXPECT_GT(count_mojibake_marks(encoding::code_points_of(word)), 0) << word;
    const char* const right[] = {
        "Привет", "ёжик",        "prématurée", "Příliš", "Zażółć",   "açılamadı", "ações",
        "Straße", "Привіт",      "п’ять",      "вёска",  "Ђорђе",    "«цитата»…", "№5",
        "iPhone", "в\u00A0доме", "МГУ",        "5 €",    "цена: 5€", "Tavrik™",   "€ 5 и ‰ 3"};
    for (const char* word : right)
        EXPECT_EQ(count_mojibake_marks(encoding::code_points_of(word)), 0) << word;
}

}  // namespace
}  // namespace tavrik
