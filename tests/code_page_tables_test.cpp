// Our code page tables against glibc's iconv, byte by byte and character by character.
#include <gtest/gtest.h>

#include <string>

#include "encoding/reading_code_pages.hpp"
#include "encoding/single_byte_code_pages.hpp"
#include "platform/code_page_conversion.hpp"
#include "tests/support/iconv_converter.hpp"

namespace tavrik {
namespace {

const char* iconv_name(std::uint32_t code_page) {
    switch (code_page) {
        case 1251:
            return "CP1251";
        case 866:
            return "IBM866";
        case 20866:
            return "KOI8-R";
        case 28595:
            return "ISO-8859-5";
        case 20127:
            return "ANSI_X3.4-1968";
        case 1252:
            return "CP1252";
        case 437:
            return "IBM437";
        case 850:
            return "IBM850";
        default:
            return nullptr;
    }
}

class CodePageTable : public testing::TestWithParam<std::size_t> {
  protected:
    const encoding::SingleByteCodePage& page() const {
        return encoding::SINGLE_BYTE_CODE_PAGES[GetParam()];
    }
};

TEST_P(CodePageTable, EveryByteDecodesAsIconvDecodesIt) {
    const auto& page = this->page();
    const char* name = iconv_name(page.code_page);
    ASSERT_NE(name, nullptr);
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const auto expected = test::iconv_decode(name, one);
        std::u16string ours;
        const bool decoded = platform::decode_to_utf16(page.code_page, one, ours);
        ASSERT_EQ(decoded, expected.has_value()) << page.description << " byte " << byte;
        if (decoded) {
            ASSERT_EQ(expected->size(), 1u);
            EXPECT_EQ(char32_t{ours.at(0)}, expected->at(0))
                << page.description << " byte " << byte;
        }
    }
}

TEST_P(CodePageTable, EveryCharacterEncodesAsIconvEncodesIt) {
    const auto& page = this->page();
    const char* name = iconv_name(page.code_page);
    for (char32_t unit = 0; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;
        const auto expected = test::iconv_encode(name, std::u32string(1, unit));
        std::string ours;
        const auto result = platform::encode_from_utf16(
            page.code_page, std::u16string(1, static_cast<char16_t>(unit)), ours);
        ASSERT_TRUE(result.ok);
        ASSERT_EQ(!result.used_default, expected.has_value())
            << page.description << " U+" << std::hex << static_cast<unsigned>(unit);
        if (expected)
            EXPECT_EQ(ours, *expected);
        else
            EXPECT_EQ(ours, "?");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CodePageTable, testing::Range(std::size_t{0}, encoding::SINGLE_BYTE_CODE_PAGES.size()),
    [](const testing::TestParamInfo<std::size_t>& info) {
        return "cp" + std::to_string(encoding::SINGLE_BYTE_CODE_PAGES[info.param].code_page);
    });

// The console tool's MacCyrillic, as Apple defines it: glibc's MAC-CYRILLIC agrees in every byte
// but 0xFF, where it keeps the older ¤ (U+00A4) of Windows' 10007 for Apple's € (U+20AC).
TEST(ReadingTables, MacCyrillicReadsAsIconvReadsIt) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto expected =
            test::iconv_decode("MAC-CYRILLIC", std::string(1, static_cast<char>(byte)));
        ASSERT_TRUE(expected.has_value()) << byte;
        ASSERT_EQ(expected->size(), 1u);
        const char32_t ours = encoding::MAC_CYRILLIC.to_unicode[static_cast<std::size_t>(byte)];
        if (byte == 0xFF) {
            EXPECT_EQ(ours, U'\u20AC');
            EXPECT_EQ(expected->at(0), U'\u00A4');
        } else {
            EXPECT_EQ(ours, expected->at(0)) << "byte " << byte;
        }
    }
}

// Windows' 1251 of the tool's readings: the catalogue's table and glibc's CP1251 in every byte
// but 0x98, which it reads as U+0098.
TEST(ReadingTables, Windows1251IsTheTableWith0x98) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto expected = test::iconv_decode("CP1251", std::string(1, static_cast<char>(byte)));
        const char32_t ours = encoding::WINDOWS_1251.to_unicode[static_cast<std::size_t>(byte)];
        if (byte == 0x98) {
            EXPECT_FALSE(expected.has_value());
            EXPECT_EQ(ours, U'\u0098');
        } else {
            ASSERT_TRUE(expected.has_value()) << byte;
            EXPECT_EQ(ours, expected->at(0)) << "byte " << byte;
        }
    }
}

}  // namespace
}  // namespace tavrik
