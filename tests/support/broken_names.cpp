#include "tests/support/broken_names.hpp"

#include <gtest/gtest.h>

#include "platform/code_page_conversion.hpp"

namespace tavrik::test {

std::u16string shown_in_ansi(std::u16string_view real) {
    std::string bytes;
    std::u16string shown;
    EXPECT_FALSE(platform::encode_from_utf16(866, real, bytes).used_default);
    EXPECT_TRUE(platform::decode_to_utf16(1251, bytes, shown));
    return shown;
}

}  // namespace tavrik::test
