#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/text_score.hpp"
#include "tests/reference/plain_engine.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

using namespace std::string_literals;

const std::string privet = "привет";

std::string latin(std::size_t n) {
    return std::string(n, 'x');
}

TEST(TextScore, EmptyAndIllFormed) {
    EXPECT_EQ(score_text(""), 0.0);
    EXPECT_EQ(is_strict_utf8(""), 1);
    EXPECT_EQ(score_text("\xEF\xF0\xE8\xE2\xE5\xF2"), 1.0);  // привет in Windows-1251
    EXPECT_EQ(score_text("\xD1\x8F"), 100.0);                // ends in a whole я
    EXPECT_EQ(score_text("\xD1\x8F\xD0"), 1.0);              // ends in a lone lead
}

TEST(TextScore, CommonWordsCaseAndBoundaries) {
    EXPECT_EQ(score_text(privet), 150.0);
    EXPECT_EQ(score_text("привет мир"), 150.0);  // the bonus counts once
    EXPECT_EQ(score_text("Привет, мир!"), 150.0);
    EXPECT_EQ(score_text("НОРМАЛЬНО"), 100.0);  // upper case never matches
    EXPECT_EQ(score_text("мировой"), 150.0);    // found inside a longer word
    EXPECT_EQ(score_text("їжак"), 100.0);
    EXPECT_EQ(score_text("мир" + latin(100)), 120.0);
    // The search ends at a zero byte; the counts cover every byte.
    EXPECT_EQ(score_text("abc\0"s + privet), 100.0);
    EXPECT_EQ(contains_common_word("abc\0"s + privet), 0);
    EXPECT_EQ(contains_common_word(""), 0);
    for (std::size_t w = 0; COMMON_WORDS[w] != nullptr; ++w) {
        EXPECT_EQ(contains_common_word("x"s + COMMON_WORDS[w] + "y"), 1) << COMMON_WORDS[w];
        const std::string cut(COMMON_WORDS[w], std::char_traits<char>::length(COMMON_WORDS[w]) - 1);
        EXPECT_EQ(contains_common_word(cut), w == 9 ? 1 : 0) << COMMON_WORDS[w];  // чтобы ⊃ что
    }
}

TEST(TextScore, PrintableShareIsStrictlyAboveSevenTenths) {
    EXPECT_EQ(score_text("hello world"), 70.0);
    EXPECT_EQ(score_text("hello\r\nworld\r\n"), 70.0);
    EXPECT_EQ(score_text("1234567\x01\x02\x03"), 60.0);  // exactly 0.7
    EXPECT_EQ(score_text("12345678\x01\x02"), 70.0);
    EXPECT_EQ(score_text(privet + latin(29)), 160.0);
    EXPECT_EQ(score_text(privet + latin(28)), 150.0);  // exactly 0.7
}

TEST(TextScore, DensityThresholdsAreStrict) {
    const std::string ya = "я";
    EXPECT_EQ(score_text(ya + latin(7)), 110.0);  // 9 bytes, density 0.333
    EXPECT_EQ(score_text(ya + latin(8)), 90.0);   // 10 bytes, exactly 0.3
    EXPECT_EQ(score_text(ya + latin(27)), 90.0);  // 29 bytes
    EXPECT_EQ(score_text(ya + latin(28)), 70.0);  // 30 bytes, exactly 0.1
    EXPECT_EQ(score_text(privet + latin(47)), 160.0);
    EXPECT_EQ(score_text(privet + latin(48)), 140.0);  // 60 bytes, exactly 0.3
}

TEST(TextScore, CyrillicRangeIsU0400ToU052F) {
    EXPECT_EQ(count_cyrillic_utf8("\xD4\x80"), 1);       // U+0500
    EXPECT_EQ(count_cyrillic_utf8("\xD4\xAF"), 1);       // U+052F
    EXPECT_EQ(count_cyrillic_utf8("\xCF\xBF"), 0);       // U+03FF
    EXPECT_EQ(count_cyrillic_utf8("\xD4\xB0"), 0);       // U+0530
    EXPECT_EQ(count_cyrillic_utf8(privet + "\xD0"), 6);  // a lone final lead is ignored
    EXPECT_EQ(count_cyrillic_utf8(""), 0);
    // Decoded by the lead alone: D0 with any next byte forms a code point.
    EXPECT_EQ(count_cyrillic_utf8("\xD0\x41"), 1);
    EXPECT_EQ(count_cyrillic_utf8("\xE0\xD0\x80"), 1);      // E0 + low bits of D0, 80: U+0400
    EXPECT_EQ(count_cyrillic_utf8("\xE0\x80\xD0\xBF"), 0);  // E0 swallows the lead D0
    EXPECT_EQ(count_cyrillic_utf8("\xE0\xD0"), 0);          // too short: steps one byte
    EXPECT_EQ(score_text("\xD4\x80\xD4\xAF"), 100.0);
}

TEST(TextScore, AgreesWithThePlainAlgorithm) {
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        std::string text = test::random_garble(random, round % 64);
        if (round % 3 == 0) text = std::string(COMMON_WORDS[round % 12]) + text;
        if (round % 5 == 0) text += "\xD4\x80";
        ASSERT_EQ(score_text(text), plain::score_text(text)) << testing::PrintToString(text);
        ASSERT_EQ(contains_common_word(text), plain::contains_common_word(text));
    }
    const std::string prose(test::russian_prose_utf8());
    EXPECT_EQ(score_text(prose), plain::score_text(prose));
    EXPECT_EQ(score_text(prose), 150.0);
}

}  // namespace
}  // namespace tavrik
