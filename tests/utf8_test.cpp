#include <gtest/gtest.h>

#include <random>
#include <string>

#include "encoding/utf8.hpp"
#include "engine/text_score.hpp"
#include "tests/reference/plain_engine.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

using namespace std::string_literals;

TEST(Utf8, AcceptsExactlyWellFormedSequences) {
    for (const std::string& text :
         {""s, "\0"s, "\xC2\x80"s, "\xED\x9F\xBF"s, "\xEF\xBF\xBF"s, "\xF0\x90\x80\x80"s,
          "\xF4\x8F\xBF\xBF"s, "abc\xD1\x8F"s, "\xD0\xBF\xD1\x80\xD0\xB8"s}) {
        EXPECT_EQ(is_strict_utf8(text), 1) << testing::PrintToString(text);
    }
    // Overlongs, surrogates, beyond U+10FFFF, stray continuation and lead bytes, truncation:
    // refused wherever they stand.
    for (const std::string& bad : {"\xC0\xAF"s, "\xC1\xBF"s, "\xE0\x80\xAF"s, "\xF0\x8F\xBF\xBF"s,
                                   "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s, "\xF5\x80\x80\x80"s,
                                   "\x80"s, "\xF8"s, "\xFF"s, "\xD0"s, "\xE2\x86"s, "\xD0\x41"s}) {
        for (const std::string& text : {bad, "ab" + bad, bad + "cd", "\xD1\x8F" + bad + "x"}) {
            EXPECT_EQ(is_strict_utf8(text), 0) << testing::PrintToString(text);
        }
    }
}

TEST(Utf8, ValidatorAgreesWithThePlainWalkOnRandomBytes) {
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = round % 2 ? test::random_garble(random, round % 40)
                                           : test::random_bytes(random, round % 12);
        ASSERT_EQ(is_strict_utf8(text), plain::is_strict_utf8(text))
            << testing::PrintToString(text);
    }
}

TEST(Utf8, DecodesAndEncodesEveryPlane) {
    const std::string text = "a\xD0\xAF\xE2\x86\x92\xF0\x9F\x93\x82";  // a Я → 📂
    std::u16string wide;
    ASSERT_TRUE(encoding::utf8::decode_strict(text, wide));
    EXPECT_EQ(wide, u"a\u042F\u2192\U0001F4C2");
    std::string back;
    encoding::utf8::encode_lenient(wide, back);
    EXPECT_EQ(back, text);
    EXPECT_FALSE(encoding::utf8::decode_strict("\xED\xA0\x80", wide));
}

TEST(Utf8, LoneSurrogatesEncodeAsReplacementCharacter) {
    std::string out;
    encoding::utf8::encode_lenient(std::u16string{u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}},
                                   out);
    EXPECT_EQ(out,
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

// Pairs joined wherever they stand, a surrogate alone replaced, what `out` held before dropped.
TEST(Utf8, EncodesPairsAndLoneSurrogatesAnywhere) {
    const struct {
        const char* what;
        std::u16string text;
        std::string utf8;
    } cases[] = {
        {"nothing", u"", ""},
        {"a pair first", u"\U0001F4C2a",
         "\xF0\x9F\x93\x82"
         "a"},
        {"a pair last", u"a\U0001F4C2", "a\xF0\x9F\x93\x82"},
        {"a high surrogate last", std::u16string{u'a', char16_t{0xD83D}}, "a\xEF\xBF\xBD"},
        {"a low before a high", std::u16string{char16_t{0xDC02}, char16_t{0xD83D}},
         "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"two and three bytes", u"\u00E9\u042F\u0800\uFFFF",
         "\xC3\xA9\xD0\xAF\xE0\xA0\x80\xEF\xBF\xBF"},
    };
    for (const auto& c : cases) {
        std::string out = "held before";
        encoding::utf8::encode_lenient(c.text, out);
        EXPECT_EQ(out, c.utf8) << c.what;
    }
}

}  // namespace
}  // namespace tavrik
