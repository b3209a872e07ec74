#include <gtest/gtest.h>

#include <random>
#include <string>

#include "encoding/utf8.hpp"
#include "encoding/visible_text.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

using encoding::Backslash;

TEST(VisibleText, BytesShowOnOneLineAndReadOneWay) {
    struct Case {
        std::string bytes;
        Backslash backslash;
        std::string shown;
    };
    const Case cases[] = {
        {"plain/path.txt", Backslash::name_character, "plain/path.txt"},
        {"Фото 2020", Backslash::name_character, "Фото 2020"},
        {"a\nb", Backslash::name_character, "a\\nb"},
        {"a\tb\r", Backslash::name_character, "a\\tb\\r"},
        {"name\t-> other", Backslash::name_character, "name\\t-> other"},
        {std::string("a\0b", 3), Backslash::name_character, "a\\x00b"},
        {"\x1B[31m\x7F", Backslash::name_character, "\\x1B[31m\\x7F"},
        {"a\\nb", Backslash::name_character, "a\\\\nb"},  // a real backslash, not a line feed
        {"C:\\Users\\x", Backslash::separator, "C:\\Users\\x"},
        {"\xFF\xFE", Backslash::name_character, "\\xFF\\xFE"},           // never UTF-8
        {"\xEF\xF0\xE8", Backslash::name_character, "\\xEF\\xF0\\xE8"},  // Windows-1251
        {"\xD0", Backslash::name_character, "\\xD0"},                    // cut short
        {"\xC0\xAF", Backslash::name_character, "\\xC0\\xAF"},           // overlong
        {"\xED\xA0\x80", Backslash::name_character, "\\xED\\xA0\\x80"},  // a surrogate
        {"\xC2\x85|\xE2\x80\xA8|\xE2\x80\xA9", Backslash::name_character,
         "\\u0085|\\u2028|\\u2029"},
        {"\xF0\x9F\x98\x80\xC2\xA0", Backslash::name_character, "\xF0\x9F\x98\x80\xC2\xA0"},
        {"", Backslash::name_character, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encoding::visible_bytes(c.bytes, c.backslash), c.shown) << c.shown;
    }
}

TEST(VisibleText, Utf16ShowsUnpairedSurrogatesEscaped) {
    struct Case {
        std::u16string text;
        Backslash backslash;
        std::string shown;
    };
    const Case cases[] = {
        {u"Фото\n2020", Backslash::separator, "Фото\\n2020"},
        {u"C:\\папка\\a\tb", Backslash::separator, "C:\\папка\\a\\tb"},
        {u"/tmp/a\\b", Backslash::name_character, "/tmp/a\\\\b"},
        {std::u16string{u'x', char16_t{0xD800}, u'y'}, Backslash::separator, "x\\uD800y"},
        {std::u16string{char16_t{0xDC00}}, Backslash::separator, "\\uDC00"},
        {std::u16string{char16_t{0xD83D}, char16_t{0xDE00}}, Backslash::separator,
         "\xF0\x9F\x98\x80"},
        {u"\u0085\u2028\u007F\u0001", Backslash::separator, "\\u0085\\u2028\\x7F\\x01"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encoding::visible_utf16(c.text, c.backslash), c.shown) << c.shown;
    }
}

// Reads a line back: what visible_bytes escaped (a backslash a name character) to the bytes.
std::string read_back(std::string_view shown) {
    std::string bytes;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != '\\') {
            bytes += shown[i];
            continue;
        }
        const char kind = shown.at(++i);
        if (kind == '\\') bytes += '\\';
        if (kind == 'n') bytes += '\n';
        if (kind == 'r') bytes += '\r';
        if (kind == 't') bytes += '\t';
        if (kind == 'x') {
            bytes += static_cast<char>(std::stoi(std::string(shown.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        }
        if (kind == 'u') {
            encoding::utf8::append(bytes, static_cast<char32_t>(std::stoi(
                                              std::string(shown.substr(i + 1, 4)), nullptr, 16)));
            i += 4;
        }
    }
    return bytes;
}

// Any bytes show as well-formed UTF-8 without a control character, and read back as they were:
// a line reads one way only.
TEST(VisibleText, AnyBytesShowOneWay) {
    std::mt19937 random(13);
    for (int i = 0; i < 2000; ++i) {
        const std::string bytes =
            test::random_bytes(random, static_cast<std::size_t>(random() % 24));
        const std::string shown = encoding::visible_bytes(bytes, Backslash::name_character);
        ASSERT_TRUE(encoding::utf8::is_well_formed(shown)) << shown;
        for (const char c : shown) {
            ASSERT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << shown;
        }
        for (std::size_t k = 0; k + 1 < shown.size(); ++k) {  // no C1 control (C2 80..9F)
            const auto second = static_cast<unsigned char>(shown[k + 1]);
            ASSERT_FALSE(shown[k] == '\xC2' && second >= 0x80 && second <= 0x9F) << shown;
        }
        ASSERT_EQ(read_back(shown), bytes) << shown;
    }
}

}  // namespace
}  // namespace tavrik
