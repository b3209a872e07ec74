#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/candidate_choice.hpp"
#include "ui/list_line.hpp"

namespace tavrik {
namespace {

using namespace std::string_literals;

Candidate make_candidate(const std::string& text, double score, const char* label) {
    Candidate candidate;
    auto bytes = std::make_shared<char[]>(text.size() + 1);
    std::memcpy(bytes.get(), text.data(), text.size());
    candidate.text = std::move(bytes);
    candidate.length = text.size();
    candidate.score = score;
    std::strncpy(candidate.label.data(), label, LABEL_SIZE - 1);
    return candidate;
}

TEST(Preview, CutsLongTextsAtThirtyNineBytes) {
    const std::string x41(41, 'x'), x42(42, 'x'), x43(43, 'x');
    EXPECT_EQ(make_preview(x41), x41);
    EXPECT_EQ(make_preview(x42), std::string(39, 'x'));        // no ellipsis
    EXPECT_EQ(make_preview(x43), std::string(39, 'x') + "…");  // 42 bytes in all
    EXPECT_EQ(make_preview("abc\0def"s), "abc");               // up to the first NUL
}

// A NUL anywhere ends the text, however far past what is shown.
TEST(Preview, EndsAtTheFirstNulWhereverItIs) {
    const struct {
        std::size_t before_nul;
        std::string preview;
    } cases[] = {
        {41, std::string(41, 'x')},
        {42, std::string(39, 'x')},
        {43, std::string(39, 'x') + "…"},
        {100, std::string(39, 'x') + "…"},
    };
    for (const auto& c : cases) {
        const std::string text = std::string(c.before_nul, 'x') + '\0' + std::string(50, 'y');
        EXPECT_EQ(make_preview(text), c.preview) << c.before_nul;
    }
}

TEST(Preview, NeverSplitsACharacter) {
    std::string cyrillic;
    for (int i = 0; i < 30; ++i)
        cyrillic += "я";  // 60 bytes
    EXPECT_EQ(make_preview(cyrillic), cyrillic.substr(0, 38) + "…");
    const std::string emoji = "x" + std::string(36, 'y') + "\xF0\x9F\x93\x82" + "zzzz";  // 45 bytes
    EXPECT_EQ(make_preview(emoji), emoji.substr(0, 37) + "…");
}

TEST(Preview, TabsAndLineBreaksBecomeSpaces) {
    EXPECT_EQ(make_preview("a\tb\r\nc"), "a b  c");
}

TEST(ListLine, LabelScoreAndPreviewSeparatedByTabs) {
    const Candidate c = make_candidate("привет", 150.0, "cp1251 → cp1251 → utf8");
    EXPECT_EQ(format_list_line(c), "cp1251 → cp1251 → utf8\t150\tпривет");
    EXPECT_EQ(format_list_line(make_candidate("", 0.0, "a")), "a\t0\t");
}

TEST(ListLine, BestIsTheFirstOfTheHighestScores) {
    std::array<Candidate, 4> list{make_candidate("a", 100, "a"), make_candidate("b", 150, "b"),
                                  make_candidate("c", 150, "c"), make_candidate("d", 1, "d")};
    EXPECT_EQ(best_candidate_index(list), 1);
    list[0].score = std::nan("");
    EXPECT_EQ(best_candidate_index(list), 0);  // nothing compares greater than NaN
    EXPECT_EQ(best_candidate_index({}), 0);
}

TEST(DisplayableUtf8, ReplacesIllFormedBytes) {
    EXPECT_EQ(displayable_utf8("a\xFF"
                               "b\xD0"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(displayable_utf8("привет"), "привет");
}

}  // namespace
}  // namespace tavrik
