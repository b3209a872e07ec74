#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/candidate_list.hpp"
#include "engine/candidates.hpp"
#include "engine/code_pages.hpp"
#include "engine/streamed_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

// The chain's reading of `input` given in pieces of `piece` bytes; nothing when it fails.
std::optional<std::string> streamed(const ReadingChain& chain, std::string_view input,
                                    std::size_t piece) {
    ChainConverter converter(chain);
    std::string all, out;
    for (std::size_t at = 0;; at += piece) {
        const bool last = at + piece >= input.size();
        if (!converter.convert(input.substr(std::min(at, input.size()), piece), last, out))
            return std::nullopt;
        all += out;
        if (last) break;
    }
    return all;
}

std::string twice_garbled(std::string_view utf8) {
    // UTF-8 shown as Windows-1251, saved as UTF-8.
    std::string bytes(utf8);
    std::string out(3 * bytes.size() + 16, '\0');
    std::uint64_t length = out.size();
    if (!convert_strict(bytes, out.data(), length, 1251, encoding::UTF8_CODE_PAGE)) return {};
    out.resize(static_cast<std::size_t>(length));
    return out;
}

// Every chain an enumeration can run gives, streamed in pieces cut anywhere, exactly what
// run_chain gives for the whole text, and fails exactly when run_chain fails.
TEST(ChainConverter, PiecesCutAnywhereGiveWhatTheWholeTextGives) {
    struct SystemPages {
        std::uint32_t ansi, oem;
    };
    std::string prose(test::russian_prose_utf8().substr(0, 1500));
    while ((static_cast<unsigned char>(prose.back()) & 0xC0) == 0x80)
        prose.pop_back();
    prose.pop_back();  // a whole character's lead byte, or ASCII
    std::mt19937 random(15);
    const std::vector<std::string> inputs = {
        prose,
        test::russian_prose_in(1251).substr(0, 1000),
        test::russian_prose_in(20866).substr(0, 1000),
        test::russian_prose_in(866).substr(0, 1000),
        test::russian_prose_in(28595).substr(0, 1000),
        twice_garbled(prose),
        twice_garbled(twice_garbled(prose).substr(0, 700)),
        "\xF0\x9F\x98\x80 emoji \xE2\x82\xAC and \xD0\x96" + prose.substr(0, 100),
        "cut \xD0",
        // Shift-JIS: characters of two bytes, the second of them sometimes below 0x80.
        "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd \x90\xa2\x8a\x45\x81\x40\x95\x5c\x8e\xa6 end\n"
        "\x83\x5c\x83\x74\x83\x67",
        test::random_garble(random, 600),
        "",
    };
    const std::size_t pieces[] = {1, 2, 3, 5, 7, 4096};
    for (const SystemPages pages :
         {SystemPages{1251, 866}, SystemPages{1252, 437}, SystemPages{932, 866}}) {
        platform::SystemCodePageOverride system(pages.ansi, pages.oem);
        const ChainPlan plan = plan_chains();
        const auto rows = std::span(plan.rows).first(static_cast<std::size_t>(plan.row_count));
        for (std::size_t k = 0; k < inputs.size(); ++k) {
            const std::string& input = inputs[k];
            for (const std::uint32_t origin : plan.origins) {
                for (const std::uint32_t intermediate : rows) {
                    for (const std::uint32_t final_code_page : rows) {
                        const std::uint32_t steps[] = {intermediate};
                        Candidate whole;
                        const bool ok =
                            run_chain(input, whole, origin, steps, final_code_page) == 1;
                        const ReadingChain chain{origin, {intermediate}, final_code_page};
                        for (const std::size_t piece : pieces) {
                            const auto result = streamed(chain, input, piece);
                            ASSERT_EQ(result.has_value(), ok)
                                << "input " << k << ", " << whole.label_text() << origin << "/"
                                << intermediate << "/" << final_code_page << ", piece " << piece;
                            if (ok) {
                                ASSERT_EQ(*result, whole.view()) << "input " << k;
                            }
                        }
                    }
                }
            }
        }
    }
}

// A part that does not convert fails the text wherever it stands, and the converter stays
// failed; what came before it was converted.
TEST(ChainConverter, APartThatDoesNotConvertFailsTheText) {
    const std::string good = test::encode(1251, "Привет, мир. ");
    const ReadingChain chain{1251, {1251}, 1251};
    ChainConverter converter(chain);
    std::string out;
    EXPECT_TRUE(converter.convert(good, false, out));
    EXPECT_EQ(out, "Привет, мир. ");
    EXPECT_EQ(converter.converted(), good.size());
    EXPECT_FALSE(converter.convert(good + "\x98", false, out));  // no character in 1251
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(converter.converted(), good.size());
    EXPECT_FALSE(converter.convert(good, true, out));
    // A UTF-8 sequence left incomplete at the end fails only when the text ends there.
    ChainConverter utf8({encoding::UTF8_CODE_PAGE, {1251}, 1251});
    EXPECT_TRUE(utf8.convert("\xD0\x9F\xD1", false, out));
    EXPECT_EQ(out, "П");
    EXPECT_EQ(utf8.converted(), 2u);
    EXPECT_FALSE(utf8.convert("", true, out));
}

TEST(ChainOfLabel, ReadsBackEveryLabelOfAnEnumeration) {
    for (const auto& [ansi, oem] : {std::pair{1251u, 866u}, std::pair{1252u, 437u}}) {
        platform::SystemCodePageOverride system(ansi, oem);
        const CandidateList list(test::encode(20866, "Где ты был вчера вечером?"));
        ASSERT_GT(list.size(), 0);
        for (int i = 0; i < list.size(); ++i) {
            const auto chain = chain_of_label(list[i].label_text());
            ASSERT_TRUE(chain.has_value()) << list[i].label_text();
            ASSERT_EQ(chain->intermediates.size(), 1u);
            Candidate again;
            ASSERT_EQ(run_chain(test::encode(20866, "Где ты был вчера вечером?"), again,
                                chain->origin, chain->intermediates, chain->final_code_page),
                      1);
            EXPECT_EQ(again.view(), list[i].view()) << list[i].label_text();
        }
    }
    struct Case {
        const char* label;
        std::optional<ReadingChain> chain;
    };
    platform::SystemCodePageOverride system(1252, 437);
    const Case cases[] = {
        {"cp1251 → cp866 → utf8", ReadingChain{1251, {866}, 65001}},
        {"utf8 → koi8r → iso88595", ReadingChain{65001, {20866}, 28595}},
        {"acp → oemcp → cp1251", ReadingChain{1252, {437}, 1251}},
        {"cp1252 → cp1251", ReadingChain{1252, {}, 1251}},
        {"", std::nullopt},
        {"cp1251", std::nullopt},
        {"cp1251 → nothing → utf8", std::nullopt},
        {"cp → utf8", std::nullopt},
        {"cp1251 →  → utf8", std::nullopt},
        {"cp99999999999 → utf8", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chain_of_label(c.label), c.chain) << c.label;
    }
}

TEST(ReadingDecisionCut, CutsOnABoundaryOfEveryCodePage) {
    struct Case {
        std::string start;
        bool whole;
        std::size_t cut;
    };
    const Case cases[] = {
        {"abc\ndef\nghi", false, 8},        // after the last line feed in the second half
        {"abc\ndefghijklmnop", false, 17},  // the line feed too early, nothing below '0': all
        {"abcdefghijklmn, op", false, 16},  // no line feed: after the last byte below '0'
        {"abc\xD0\x9F\xD0", false, 5},      // an incomplete UTF-8 sequence stays out
        {"\xD0\x9F\xD0\x9F", false, 4},     // complete: all of it
        {"abc\ndef\nghi", true, 11},        // the whole text
        {"", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reading_decision_cut(c.start, c.whole), c.cut) << c.start;
    }
}

// The reading chosen on the start is the console tool's choice for it.
TEST(ChooseReading, TakesTheMostPlausibleReadingOfTheStart) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string prose(test::russian_prose_utf8());
    for (const std::uint32_t code_page : {1251u, 866u, 20866u, 28595u}) {
        const std::string input = test::russian_prose_in(code_page);
        std::string expected(3 * input.size(), '\0');
        std::uint64_t length = expected.size();
        ASSERT_TRUE(convert_strict(input, expected.data(), length, code_page, 65001));
        expected.resize(static_cast<std::size_t>(length));
        const auto chosen = choose_reading_of_start(input);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(streamed(chosen->chain, input, 1000), expected) << chosen->label;
    }
    const auto twice = choose_reading_of_start(twice_garbled(prose));
    ASSERT_TRUE(twice.has_value());
    EXPECT_EQ(streamed(twice->chain, twice_garbled(prose), 1000), prose) << twice->label;
}

}  // namespace
}  // namespace tavrik
