#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "engine/code_pages.hpp"
#include "engine/one_call_repairs.hpp"
#include "engine/text_score.hpp"
#include "engine/utf_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/temp_tree.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

using namespace std::string_literals;

const std::string PRIVET_UTF8 = "привет";
const std::string PRIVET_1251 = "\xEF\xF0\xE8\xE2\xE5\xF2";

// repair_buffer with a given capacity; nothing when it fails, after checking that a failure
// touched neither the output nor its length.
std::optional<std::string> repaired(const std::string& input, std::uint64_t capacity) {
    std::string output(static_cast<std::size_t>(capacity), '#');
    std::uint64_t length = capacity;
    if (!repair_buffer(input, output.data(), length)) {
        EXPECT_EQ(length, capacity);
        EXPECT_EQ(output, std::string(static_cast<std::size_t>(capacity), '#'));
        return std::nullopt;
    }
    return output.substr(0, static_cast<std::size_t>(length));
}

class RepairUtilities : public testing::Test {
  protected:
    platform::SystemCodePageOverride russian_{1251, 866};
};

TEST_F(RepairUtilities, RepairBufferKeepsCyrillicUtf8) {
    EXPECT_EQ(repaired(PRIVET_UTF8, 12), PRIVET_UTF8);
    EXPECT_EQ(repaired(PRIVET_UTF8, 11), std::nullopt);
}

TEST_F(RepairUtilities, RepairBufferTakesTheBestCandidate) {
    EXPECT_EQ(repaired(PRIVET_1251, 12), PRIVET_UTF8);
    EXPECT_EQ(repaired(PRIVET_1251, 11), std::nullopt);
    EXPECT_EQ(repaired("", 10), std::nullopt);  // every candidate scores 0
    EXPECT_EQ(repaired("plain ascii", 64), "plain ascii");
    std::mt19937 random(9);
    for (int i = 1; i < 200; ++i) {  // something always comes back, capacity allowing
        EXPECT_TRUE(repaired(test::random_bytes(random, static_cast<std::size_t>(i)), 4 * 256))
            << i;
    }
}

TEST_F(RepairUtilities, DetectCodePage) {
    std::uint32_t code_page = 0;
    EXPECT_EQ(detect_code_page(PRIVET_UTF8, code_page), 2);
    EXPECT_EQ(code_page, 65001u);
    EXPECT_EQ(detect_code_page(PRIVET_1251, code_page), 1);
    EXPECT_EQ(code_page, 1251u);
    // 1251, 866 and KOI8-R read six Cyrillic letters in it, ISO-8859-5 five: the earliest wins.
    for (const auto& [page, letters] : {std::pair{1251u, 6}, {866u, 6}, {20866u, 6}, {28595u, 5}}) {
        std::string utf8(64, '\0');
        std::uint64_t length = utf8.size();
        ASSERT_TRUE(convert_strict(PRIVET_1251, utf8.data(), length, page, 65001));
        EXPECT_EQ(count_cyrillic_utf8(utf8.substr(0, length)), letters) << page;
    }
    code_page = 0;
    EXPECT_EQ(detect_code_page("", code_page), 0);
    EXPECT_EQ(code_page, 1251u);
    EXPECT_EQ(detect_code_page("ascii only", code_page), 0);
    // Too long in UTF-8 for any reading: nothing counts.
    EXPECT_EQ(detect_code_page(std::string(600000, '\xE0'), code_page), 0);
    EXPECT_EQ(code_page, 1251u);
    platform::SystemCodePageOverride western(1252, 437);
    EXPECT_EQ(detect_code_page("ascii only", code_page), 0);
    EXPECT_EQ(code_page, 1252u);
}

TEST(UtfConversion, LenientBothWays) {
    EXPECT_EQ(utf8_to_wide("abc", 0), nullptr);
    EXPECT_EQ(wide_to_utf8(u"abc", 0), nullptr);
    EXPECT_EQ(utf8_to_wide("abc", -2), nullptr);
    const auto wide = utf8_to_wide("\xD1\x8F\xFF", 3);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::u16string(wide.get()), u"я\uFFFD");
    const auto terminated = utf8_to_wide("ab", -1);  // the terminator converts too
    EXPECT_EQ(terminated[0], u'a');
    EXPECT_EQ(terminated[2], u'\0');
    const char16_t lone[] = {u'x', char16_t{0xD800}, u'\0'};
    const auto utf8 = wide_to_utf8(lone, -1);
    ASSERT_NE(utf8, nullptr);
    EXPECT_EQ(std::string(utf8.get()), "x\xEF\xBF\xBD");
}

class RepairFile : public RepairUtilities {
  protected:
    test::TempTree tree_;
};

TEST_F(RepairFile, WritesTheBestRepairBeside) {
    tree_.make_file(u"письмо.txt", PRIVET_1251 + ", \xEC\xE8\xF0");
    EXPECT_EQ(repair_file(tree_.path(u"письмо.txt")), 1);
    EXPECT_EQ(tree_.read(u"письмо.txt.fixed"), "привет, мир");
    EXPECT_EQ(tree_.read(u"письмо.txt"), PRIVET_1251 + ", \xEC\xE8\xF0");
}

TEST_F(RepairFile, EmptyFileGivesEmptyOutput) {
    tree_.make_file(u"empty.txt", "");
    tree_.make_file(u"empty.txt.fixed", "old");
    EXPECT_EQ(repair_file(tree_.path(u"empty.txt")), 1);
    EXPECT_TRUE(tree_.exists(u"empty.txt.fixed"));
    EXPECT_EQ(tree_.read(u"empty.txt.fixed"), "");
}

TEST_F(RepairFile, RefusesWhatItCannotRepairWhole) {
    EXPECT_EQ(repair_file(tree_.path(u"missing.txt")), 0);
    EXPECT_FALSE(tree_.exists(u"missing.txt.fixed"));

    tree_.make_file(u"big.txt", std::string(FILE_REPAIR_LIMIT + 1, 'a'));
    tree_.make_file(u"big.txt.fixed", "earlier result");
    EXPECT_EQ(repair_file(tree_.path(u"big.txt")), 0);
    EXPECT_EQ(tree_.read(u"big.txt.fixed"), "earlier result");

    tree_.make_file(u"limit.txt", std::string(FILE_REPAIR_LIMIT, 'a'));
    EXPECT_EQ(repair_file(tree_.path(u"limit.txt")), 1);
    EXPECT_EQ(tree_.read(u"limit.txt.fixed").size(), FILE_REPAIR_LIMIT);
}

TEST_F(RepairFile, OutputThatCannotBeWrittenIsAFailure) {
    // A folder stands where the output would go: it cannot be replaced by a file.
    tree_.make_file(u"text.txt", PRIVET_1251);
    tree_.make_directory(u"text.txt.fixed/inside");
    EXPECT_EQ(repair_file(tree_.path(u"text.txt")), 0);
    EXPECT_TRUE(tree_.exists(u"text.txt.fixed/inside"));
    EXPECT_EQ(tree_.names_in(), (std::vector<std::u16string>{u"text.txt", u"text.txt.fixed"}));
}

}  // namespace
}  // namespace tavrik
