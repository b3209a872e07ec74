#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/candidates.hpp"
#include "engine/code_pages.hpp"
#include "engine/text_score.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/reference/plain_engine.hpp"
#include "tests/support/enumeration_check.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

using test::expect_same_as_plain;

using namespace std::string_literals;

TEST(Candidates, EmptyInputFillsEveryPlaceWithEmptyTexts) {
    platform::SystemCodePageOverride russian(1251, 866);
    const CandidateList list("");
    ASSERT_EQ(list.size(), MAX_CANDIDATES);
    EXPECT_EQ(test::label(list, 0), "utf8 → cp1251 → cp1251");
    for (int i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].length, 0u);
        EXPECT_EQ(list[i].score, 0.0);
        ASSERT_NE(list[i].text, nullptr);
    }
}

TEST(Candidates, AsciiInputIsKeptUnchangedByEveryChain) {
    platform::SystemCodePageOverride russian(1251, 866);
    const CandidateList list("Hello, world");
    ASSERT_EQ(list.size(), MAX_CANDIDATES);
    for (int i = 0; i < list.size(); ++i) {
        EXPECT_EQ(test::text(list, i), "Hello, world");
        EXPECT_EQ(list[i].score, 70.0);
    }
}

TEST(Candidates, IdentityChainKeepsAnyInput) {
    platform::SystemCodePageOverride russian(1251, 866);
    for (const std::string& input : {"\xC0\xAF\xFF"s, "\x98\x98"s, "abc"s}) {
        const CandidateList list(input);
        bool found = false;
        for (int i = 0; i < list.size() && i <= 32; ++i) {
            if (test::label(list, i) == "utf8 → utf8 → utf8") {
                EXPECT_EQ(test::text(list, i), input);
                EXPECT_EQ(list[i].score, score_text(input));
                found = true;
            }
        }
        EXPECT_TRUE(found) << testing::PrintToString(input);
    }
}

TEST(Candidates, Utf8ShownAsWindows1251) {
    platform::SystemCodePageOverride russian(1251, 866);
    const CandidateList list("\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    ASSERT_GT(list.size(), 0);
    EXPECT_EQ(test::label(list, 0), "utf8 → cp1251 → cp1251");
    EXPECT_EQ(test::text(list, 0), "привет");
    EXPECT_EQ(list[0].score, 150.0);
    bool later = false;
    for (int i = 1; i < list.size(); ++i) {
        if (test::label(list, i) == "cp1251 → cp1251 → utf8") {
            later = test::text(list, i) == "привет" && list[i].score == 150.0;
        }
    }
    EXPECT_TRUE(later);
}

TEST(Candidates, Koi8ShownAsWindows1251) {
    platform::SystemCodePageOverride russian(1251, 866);
    const CandidateList list("\xF0\xD2\xC9\xD7\xC5\xD4\x2C\x20\xCD\xC9\xD2");
    ASSERT_EQ(list.size(), MAX_CANDIDATES);
    EXPECT_EQ(test::label(list, 0), "utf8 → utf8 → cp1251");
    EXPECT_EQ(test::text(list, 0), "рТЙЧЕФ, НЙТ");
    EXPECT_EQ(list[0].score, 100.0);
    EXPECT_EQ(test::label(list, 1), "utf8 → utf8 → cp866");
    EXPECT_EQ(list[1].score, 80.0);
    EXPECT_EQ(test::label(list, 2), "utf8 → utf8 → koi8r");
    EXPECT_EQ(test::text(list, 2), "Привет, мир");
    EXPECT_EQ(list[2].score, 150.0);
}

TEST(Candidates, SameChainTwiceUnderOneLabel) {
    platform::SystemCodePageOverride russian(1251, 866);
    // Plain Cyrillic that every single-byte code page of the catalogue holds.
    const CandidateList list("\xD0\xB0\xD0\xB1");  // аб in UTF-8
    // Final cp1251: intermediates of rows 1 and 6 both resolve to 1251. The "acp" final row
    // repeats all seven.
    int seen = 0;
    for (int i = 0; i < 7; ++i)
        seen += test::label(list, i) == "utf8 → cp1251 → cp1251";
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(test::label(list, 0), "utf8 → cp1251 → cp1251");
    EXPECT_EQ(test::label(list, 5), "utf8 → cp1251 → cp1251");
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(test::label(list, i + 35), test::label(list, i));
}

TEST(Candidates, RunChainLabelsEveryStep) {
    platform::SystemCodePageOverride russian(1251, 866);
    Candidate candidate;
    const std::uint32_t none[1] = {};
    ASSERT_EQ(run_chain("\xEF\xF0\xE8\xE2\xE5\xF2", candidate, 1251, std::span(none, 0), 1251), 1);
    EXPECT_STREQ(candidate.label_text(), "cp1251 → cp1251");
    EXPECT_EQ(std::string(candidate.view()), "привет");

    const std::uint32_t steps[] = {1251, 866, 437};
    ASSERT_EQ(run_chain("abc", candidate, 65001, steps, 65001), 1);
    EXPECT_STREQ(candidate.label_text(), "utf8 → cp1251 → cp866 → cp437 → utf8");

    // A failed chain leaves the candidate as it was.
    ASSERT_EQ(run_chain("\x98", candidate, 1251, steps, 65001), 0);
    EXPECT_STREQ(candidate.label_text(), "utf8 → cp1251 → cp866 → cp437 → utf8");
    EXPECT_EQ(std::string(candidate.view()), "abc");

    // The label is cut at 255 bytes.
    const std::vector<std::uint32_t> many(40, 28595);
    ASSERT_EQ(run_chain("abc", candidate, 28595, many, 28595), 1);
    EXPECT_EQ(std::string(candidate.label_text()).size(), LABEL_SIZE - 1);
    free_candidates(std::span(&candidate, 1));
    EXPECT_EQ(candidate.text, nullptr);
    EXPECT_EQ(candidate.length, 0u);
}

// The enumeration skips work it can prove redundant; it must still give exactly the candidates
// the plain algorithm gives, on every system.
class CandidatesOnSystem : public testing::TestWithParam<std::pair<std::uint32_t, std::uint32_t>> {
};

TEST_P(CandidatesOnSystem, MatchPlainEnumeration) {
    platform::SystemCodePageOverride system(GetParam().first, GetParam().second);
    const std::string prose(test::russian_prose_utf8());
    std::vector<std::string> inputs = {"",
                                       "abc",
                                       prose,
                                       test::encode(1251, prose),
                                       test::russian_prose_in(866),
                                       test::russian_prose_in(20866),
                                       test::russian_prose_in(28595),
                                       test::encode(1251, "Привет, мир")};
    // UTF-8 shown as Windows-1251 and handed over in UTF-8: "РџСЂРёРІРµС‚".
    std::u16string shown;
    std::string garbled;
    ASSERT_TRUE(platform::decode_to_utf16(1251, prose, shown));
    ASSERT_TRUE(platform::encode_from_utf16(65001, shown, garbled).ok);
    inputs.push_back(garbled);
    std::mt19937 random(GetParam().first + GetParam().second);
    for (int i = 0; i < 60; ++i) {
        inputs.push_back(i % 3 ? test::random_garble(random, 1 + i)
                               : test::random_bytes(random, 1 + i % 7));
    }
    for (const std::string& input : inputs)
        expect_same_as_plain(input);
}

INSTANTIATE_TEST_SUITE_P(Systems, CandidatesOnSystem,
                         testing::Values(std::pair{1251u, 866u}, std::pair{1252u, 437u},
                                         std::pair{1252u, 850u}, std::pair{65001u, 866u},
                                         std::pair{1251u, 20127u}, std::pair{866u, 1251u},
                                         std::pair{1251u, 1251u}));

TEST(Candidates, LargeInputsMatchPlainEnumeration) {
    platform::SystemCodePageOverride russian(1251, 866);
    // Windows-1251 prose whose UTF-8 form passes the work buffer; and UTF-8 prose longer than
    // it, which only chains that shrink it can take.
    std::string single_byte, utf8;
    while (single_byte.size() < WORK_BUFFER_SIZE * 6 / 10)
        single_byte += test::encode(1251, "Привет, мир. ");
    while (utf8.size() < WORK_BUFFER_SIZE + 100)
        utf8 += "Привет, мир. ";
    expect_same_as_plain(single_byte);
    expect_same_as_plain(utf8);
}

TEST(Candidates, StopsAtSixtyFour) {
    platform::SystemCodePageOverride russian(1251, 866);
    const CandidateList list("abc");
    EXPECT_EQ(list.size(), MAX_CANDIDATES);
    EXPECT_EQ(test::label(list, 63), plain::enumerate_candidates("abc")[63].label_text());
}

}  // namespace
}  // namespace tavrik

namespace tavrik {
namespace {

// A digest of every candidate (label, score, text) of a few inputs, fixed here: the Linux and
// the Windows builds must both arrive at it.
TEST(Candidates, SameOnEveryPlatform) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string prose(test::russian_prose_utf8());
    std::uint64_t digest = 14695981039346656037ULL;  // FNV-1a
    const auto mix = [&digest](std::string_view bytes) {
        for (const char c : bytes)
            digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    };
    std::mt19937 random(17);
    std::vector<std::string> inputs = {prose, test::encode(1251, prose),
                                       test::russian_prose_in(866), test::russian_prose_in(20866)};
    for (int i = 0; i < 20; ++i)
        inputs.push_back(test::random_garble(random, 5 + i));
    for (const std::string& input : inputs) {
        const CandidateList list(input);
        for (int i = 0; i < list.size(); ++i) {
            mix(test::label(list, i));
            mix(std::to_string(list[i].score));
            mix(list[i].view());
        }
    }
    EXPECT_EQ(digest, 14186371304304819497ULL);
}

}  // namespace
}  // namespace tavrik
