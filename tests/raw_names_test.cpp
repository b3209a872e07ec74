// Names that are not UTF-8 survive the trip into the program's UTF-16 and back byte for byte,
// and show as \xNN where a backslash is a name character.
#include <gtest/gtest.h>

#include <string>

#include "encoding/raw_names.hpp"
#include "encoding/visible_text.hpp"

namespace tavrik::encoding {
namespace {

struct RawCase {
    std::string bytes;
    std::u16string text;
    std::string shown;  // visible_utf16, a backslash a name character
};

const RawCase RAW_CASES[] = {
    {"plain.txt", u"plain.txt", "plain.txt"},
    {"\xD0\x9F\xD1\x80\xD0\xB8", u"При", "При"},  // UTF-8 as it is
    {"\xCF\xE0\xEF\xEA\xE0", u"\xDCCF\xDCE0\xDCEF\xDCEA\xDCE0",
     "\\xCF\\xE0\\xEF\\xEA\\xE0"},                               // 1251
    {"Caf\xE9.txt", u"Caf\xDCE9.txt", "Caf\\xE9.txt"},           // Latin-1
    {"\xD0\xB0\xFF", u"а\xDCFF", "а\\xFF"},                      // mixed
    {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80", "\\xED\\xA0\\x80"},  // a surrogate in UTF-8
    {"\xF0\x90\x82\x80", u"\xD800\xDC80", "\xF0\x90\x82\x80"},   // U+10080: a pair
    {"\xC0\xAF", u"\xDCC0\xDCAF", "\\xC0\\xAF"},                 // overlong
};

TEST(RawNames, RoundTripAndShow) {
    for (const RawCase& c : RAW_CASES) {
        EXPECT_EQ(decode_keeping_bytes(c.bytes), c.text) << c.shown;
        EXPECT_EQ(encode_keeping_bytes(c.text), c.bytes) << c.shown;
        EXPECT_EQ(visible_utf16(c.text, Backslash::name_character), c.shown);
        EXPECT_EQ(holds_raw_bytes(c.text), c.shown.find("\\x") != std::string::npos) << c.shown;
    }
}

TEST(RawNames, OtherLoneSurrogatesStayReplaced) {
    EXPECT_EQ(encode_keeping_bytes(u"a\xD800"
                                   "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(encode_keeping_bytes(u"\xDC7F"), "\xEF\xBF\xBD");
    // Where a backslash only separates folders (Windows), such a unit is no byte.
    EXPECT_EQ(visible_utf16(u"\xDCE9", Backslash::separator), "\\uDCE9");
}

}  // namespace
}  // namespace tavrik::encoding
