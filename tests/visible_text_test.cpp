#include <gtest/gtest.h>

#include <string>

#include "encoding/visible_text.hpp"

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

}  // namespace
}  // namespace tavrik
