// The set of known Russian word forms, and the console tool's choice on short texts with it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/readings.hpp"
#include "engine/word_forms.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {
namespace {

std::string written_in(std::uint32_t code_page, const std::string& utf8) {
    std::string bytes;
    EXPECT_TRUE(write_in_code_page(code_page, utf8, bytes)) << code_page << " " << utf8;
    return bytes;
}

// What Windows shows for bytes in its 1251, as UTF-8.
std::string shown_by_windows(const std::string& bytes) {
    std::string utf8;
    EXPECT_TRUE(read_in_code_page(READING_WINDOWS_1251, bytes, utf8));
    return utf8;
}

TEST(WordForms, KnowRussianFormsAndNothingElse) {
    const struct {
        const char* word;
        bool known;
    } cases[] = {
        {"время", true},
        {"школы", true},
        {"Школы", true},
        {"ШКОЛЫ", true},
        {"ёж", true},
        {"еж", true},
        {"дом", true},
        {"домами", true},
        {"и", true},
        {"в", true},
        {"чтенс", false},
        {"ЧТЕНС", false},
        {"щтпрх", false},
        {"", false},
        {"house", false},
        {"дом1", false},
        {"воскресенье", false},  // longer than the set's forms
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_known_word_form(c.word), c.known) << c.word;
}

TEST(WordForms, CountTheWordsOfAText) {
    const struct {
        const char* text;
        int known, longer, unknown, letters;
    } cases[] = {
        {"Время летит.", 2, 0, 0, 10},
        {"ЧТЕНС", 0, 0, 1, 5},
        {"дОм", 0, 0, 1, 3},  // a capital after a small letter: cased as no word is
        {"Дом и сад", 3, 0, 0, 7},
        {"Дом и house", 2, 0, 1, 9},
        {"Воскресенье утром", 1, 1, 0, 16},
        {"1234, ...", 0, 0, 0, 0},
        {"", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const WordFormCount count = count_word_forms(c.text);
        EXPECT_EQ(count.known, c.known) << c.text;
        EXPECT_EQ(count.longer, c.longer) << c.text;
        EXPECT_EQ(count.unknown, c.unknown) << c.text;
        EXPECT_EQ(count.letters, c.letters) << c.text;
    }
}

TEST(Readings, RestoreShortTextsByKnownWordForms) {
    platform::SystemCodePageOverride russian(1251, 866);
    const struct {
        std::string input;
        std::string expected;
    } cases[] = {
        {"\xD7\xD2\xC5\xCD\xD1", "время"},    // KOI8-R shown as 1251: «ЧТЕНС»
        {"\xE8\xAA\xAE\xAB\xEB", "школы"},    // IBM866 shown as 1251: «иЄ®«л»
        {written_in(20866, "где"), "где"},    // KOI8-R
        {written_in(866, "лес"), "лес"},      // IBM866
        {written_in(28595, "брат"), "брат"},  // ISO-8859-5
        {written_in(20866, "шёл снег"), "шёл снег"},
        {written_in(866, "часы"), "часы"},
        {shown_by_windows("школы"), "школы"},  // UTF-8 shown as Windows' 1251 and kept
    };
    for (const auto& c : cases) {
        const Readings readings(c.input);
        EXPECT_NE(readings[choose_reading_by_plausibility(readings).index].view(), c.expected)
            << c.expected << ": plausibility alone misses it";
        const ReadingChoice choice = choose_reading(readings);
        ASSERT_GE(choice.index, 0) << c.expected;
        EXPECT_EQ(readings[choice.index].view(), c.expected);
        EXPECT_TRUE(choice.plausible) << c.expected;
    }
}

TEST(Readings, KeepTheChoiceWhereWordFormsDoNotDecide) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string inputs[] = {
        "время",        // right already
        "Привет, мир",  // right already
        "Таврик",       // a name the set lacks: nothing all-known
        written_in(20866, "Машина стоит во дворе уже неделю, а хозяин в отъезде."),  // long
    };
    for (const std::string& input : inputs) {
        const Readings readings(input);
        EXPECT_EQ(choose_reading(readings).index, choose_reading_by_plausibility(readings).index)
            << input;
    }
}

}  // namespace
}  // namespace tavrik
