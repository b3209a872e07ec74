#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "encoding/single_byte_code_pages.hpp"
#include "engine/code_pages.hpp"
#include "tests/reference/plain_engine.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

using namespace std::string_literals;

const std::string privet_utf8 = "привет";
const std::string privet_1251 = "\xEF\xF0\xE8\xE2\xE5\xF2";

// Converts with the given capacity; nothing when the step fails, after checking that a failure
// left the length alone.
std::optional<std::string> convert(const std::string& source, std::uint32_t from, std::uint32_t to,
                                   std::uint64_t capacity = WORK_BUFFER_SIZE) {
    std::string out(static_cast<std::size_t>(capacity), '\x5A');
    std::uint64_t length = capacity;
    if (!convert_strict(source, out.data(), length, from, to)) {
        EXPECT_EQ(length, capacity) << "a failed step changed the length";
        return std::nullopt;
    }
    EXPECT_LE(length, capacity);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::vector<std::uint32_t> all_code_pages() {
    std::vector<std::uint32_t> pages{65001};
    for (const auto& page : encoding::SINGLE_BYTE_CODE_PAGES)
        pages.push_back(page.code_page);
    return pages;
}

TEST(ConvertStrict, EmptySourceSucceedsInEveryDirection) {
    for (const std::uint32_t from : all_code_pages()) {
        for (const std::uint32_t to : all_code_pages()) {
            EXPECT_EQ(convert("", from, to, 0), ""s);
        }
    }
}

TEST(ConvertStrict, EqualCodePagesCopyWithoutChecking) {
    EXPECT_EQ(convert("\xC0\xAF\xFF", 65001, 65001), "\xC0\xAF\xFF"s);
    EXPECT_EQ(convert("\x98", 1251, 1251), "\x98"s);
    EXPECT_EQ(convert("\x80", 20127, 20127), "\x80"s);
    EXPECT_EQ(convert("abc", 1251, 1251, 3), "abc"s);
    EXPECT_EQ(convert("abc", 1251, 1251, 2), std::nullopt);
}

TEST(ConvertStrict, RussianBetweenCodePages) {
    EXPECT_EQ(convert(privet_utf8, 65001, 1251), privet_1251);
    EXPECT_EQ(convert(privet_1251, 20866, 65001), "ОПХБЕР"s);  // every byte defined in KOI8-R
    EXPECT_EQ(convert(privet_1251, 1251, 65001), privet_utf8);
    EXPECT_EQ(convert("\xF0\xD2\xC9\xD7\xC5\xD4", 20866, 65001), "Привет"s);
    EXPECT_EQ(convert("\xAF\xE0\xA8\xA2\xA5\xE2", 866, 1251), privet_1251);
    EXPECT_EQ(convert("\xDF\xE0\xD8\xD2\xD5\xE2", 28595, 65001), privet_utf8);
}

TEST(ConvertStrict, RefusesWhatTheCodePagesCannotHold) {
    EXPECT_EQ(convert("\x98", 1251, 65001), std::nullopt);    // undefined in Windows-1251
    EXPECT_EQ(convert("a\x80", 20127, 65001), std::nullopt);  // US-ASCII stops at 0x7F
    EXPECT_EQ(convert("\x81", 1252, 65001), std::nullopt);
    EXPECT_EQ(convert("caf\xC3\xA9", 65001, 1251), std::nullopt);  // é is not in Windows-1251
    EXPECT_EQ(convert(privet_utf8, 65001, 20127), std::nullopt);
    EXPECT_EQ(convert("\xF0\x9F\x93\x82", 65001, 1251), std::nullopt);  // beyond the BMP
    EXPECT_EQ(convert("\xD0", 65001, 1251), std::nullopt);              // malformed UTF-8
    EXPECT_EQ(convert("\xC0\xAF", 65001, 866), std::nullopt);
    EXPECT_EQ(convert("\xED\xA0\x80", 65001, 866), std::nullopt);
}

TEST(ConvertStrict, CapacityExactlyEqualSucceedsOneShortFails) {
    EXPECT_EQ(convert(privet_1251, 1251, 65001, 12), privet_utf8);
    EXPECT_EQ(convert(privet_1251, 1251, 65001, 11), std::nullopt);
    EXPECT_EQ(convert(privet_utf8, 65001, 1251, 6), privet_1251);
    EXPECT_EQ(convert(privet_utf8, 65001, 1251, 5), std::nullopt);
    EXPECT_EQ(convert(privet_1251, 1251, 866, 6).has_value(), true);
    EXPECT_EQ(convert(privet_1251, 1251, 866, 5), std::nullopt);
    EXPECT_EQ(convert("ab" + privet_1251, 1251, 65001, 13), std::nullopt);
}

TEST(ConvertStrict, LargeInputsFailRatherThanTruncate) {
    const std::string big(WORK_BUFFER_SIZE / 2 + 1, '\xE0');  // а in Windows-1251
    EXPECT_EQ(convert(big, 1251, 65001), std::nullopt);
    EXPECT_EQ(convert(big.substr(1), 1251, 65001)->size(), WORK_BUFFER_SIZE);
}

// Every pair of code pages with a converter of ours: the direct kernels give exactly what a
// round trip through UTF-16 gives, success and bytes, on real text and on random bytes.
TEST(ConvertStrict, KernelsAgreeWithTheRoundTripThroughUtf16) {
    std::mt19937 random(3);
    std::vector<std::string> inputs = {std::string(test::russian_prose_utf8())};
    for (const auto& page : encoding::SINGLE_BYTE_CODE_PAGES) {
        inputs.push_back(test::russian_prose_in(page.code_page));
    }
    for (int i = 0; i < 300; ++i) {
        inputs.push_back(i % 2 ? test::random_garble(random, 1 + i % 23)
                               : test::random_bytes(random, 1 + i % 5));
    }
    for (const std::uint32_t from : all_code_pages()) {
        for (const std::uint32_t to : all_code_pages()) {
            for (const std::string& input : inputs) {
                // Ample room, room for as many bytes as the input has, and for half of them.
                for (const std::uint64_t capacity :
                     {4 * input.size() + 4, input.size(), input.size() / 2}) {
                    std::string fast(static_cast<std::size_t>(capacity), '\0');
                    std::string slow(static_cast<std::size_t>(capacity), '\0');
                    std::uint64_t fast_length = capacity, slow_length = capacity;
                    const int fast_ok = convert_strict(input, fast.data(), fast_length, from, to);
                    const int slow_ok =
                        plain::convert_strict(input, slow.data(), slow_length, from, to);
                    ASSERT_EQ(fast_ok, slow_ok)
                        << from << " -> " << to << " " << testing::PrintToString(input);
                    ASSERT_EQ(fast_length, slow_length);
                    if (fast_ok) {
                        ASSERT_EQ(fast.substr(0, fast_length), slow.substr(0, slow_length));
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tavrik
