// The pages text is shown in and read in: a page a text was shown in gives every byte back as it
// was (the person saw a character for each), reading is strict, and the marks of garbling are
// found in garbled words and in no right word of any language.
#include <gtest/gtest.h>

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
