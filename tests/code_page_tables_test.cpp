// Our code page tables against glibc's iconv, byte by byte and character by character.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page_conversion.hpp"
#include "encoding/single_byte_code_pages.hpp"
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

INSTANTIATE_TEST_SUITE_P(Tables, CodePageTable,
                         testing::Range(std::size_t{0}, encoding::SINGLE_BYTE_CODE_PAGES.size()),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return "cp" + std::to_string(
                                               encoding::SINGLE_BYTE_CODE_PAGES[info.param].code_page);
                         });

}  // namespace
}  // namespace tavrik
