// The system's own conversion, which the input box goes through: Windows' converter under Wine,
// our tables with Windows' additions on Linux. Both must give the same.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page_conversion.hpp"

namespace tavrik {
namespace {

using platform::decode_as_system;
using platform::encode_as_system;

TEST(SystemConversion, UndefinedBytesAreTheirC1ControlsAsWindowsHasThem) {
    struct Case {
        std::uint32_t code_page;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {1251, "\x98", u"\u0098"},
        {1251, "\xD0\x98\xC0", u"Р\u0098А"},
        {1252, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
        {1252, "caf\xE9", u"café"},
        {866, "\xCF\xF0\xE8", u"╧Ёш"},
        {65001, "\xD0\x98", u"И"},
        {1251, "", u""},
    };
    for (const Case& c : cases) {
        std::u16string text;
        EXPECT_TRUE(decode_as_system(c.code_page, c.bytes, text)) << c.code_page;
        EXPECT_EQ(text, c.text) << c.code_page;
        std::string bytes;
        const platform::EncodeResult encoded = encode_as_system(c.code_page, c.text, bytes);
        EXPECT_TRUE(encoded.ok) << c.code_page;
        EXPECT_FALSE(encoded.used_default) << c.code_page;
        EXPECT_EQ(bytes, c.bytes) << c.code_page;
    }
    // The strict conversion the engine uses still refuses 0x98 in 1251.
    std::u16string strict;
    EXPECT_FALSE(platform::decode_to_utf16(1251, "\x98", strict));
    std::string strict_bytes;
    EXPECT_TRUE(platform::encode_from_utf16(1251, u"\u0098", strict_bytes).used_default);
}

TEST(SystemConversion, EveryByteComesBackAndMissingCharactersAreReported) {
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte)
        every_byte += static_cast<char>(byte);
    for (const std::uint32_t code_page : {1251u, 1252u, 866u, 437u, 20866u, 28595u}) {
        std::u16string text;
        ASSERT_TRUE(decode_as_system(code_page, every_byte, text)) << code_page;
        std::string back;
        const platform::EncodeResult encoded = encode_as_system(code_page, text, back);
        EXPECT_TRUE(encoded.ok && !encoded.used_default) << code_page;
        EXPECT_EQ(back, every_byte) << code_page;
    }
    for (const std::u16string_view missing : {u"é", u"╧", u"\U0001F600", u"\u0081"}) {
        std::string bytes;
        const platform::EncodeResult encoded = encode_as_system(1251, missing, bytes);
        EXPECT_TRUE(encoded.ok);
        EXPECT_TRUE(encoded.used_default);
        EXPECT_EQ(bytes, std::string(missing.size(), '?'));  // no best fit: «é» is not «e»
    }
}

}  // namespace
}  // namespace tavrik
