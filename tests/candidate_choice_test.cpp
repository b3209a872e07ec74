#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/candidate_choice.hpp"

namespace tavrik {
namespace {

Candidate make_candidate(const std::string& text, double score) {
    Candidate candidate;
    auto bytes = std::make_shared<char[]>(text.size() + 1);
    std::memcpy(bytes.get(), text.data(), text.size());
    candidate.text = std::move(bytes);
    candidate.length = text.size();
    candidate.score = score;
    return candidate;
}

TEST(PreselectedCandidate, TheMostPlausibleOfTheHighestScores) {
    struct Case {
        const char* what;
        std::array<Candidate, 4> list;
        int best_by_score;
        int preselected;
    };
    const Case cases[] = {
        {"the garbled text first, its repair after it with the same score",
         {make_candidate("рТЙЧЕФ, НЙТ", 100), make_candidate("Привет, мир", 100),
          make_candidate("ОПХБЕР, ЛХП", 100), make_candidate("x", 1)},
         0,
         1},
        {"a more plausible text with a lower score is not taken",
         {make_candidate("рТЙЧЕФ, НЙТ", 120), make_candidate("Привет, мир", 100),
          make_candidate("ОПХБЕР, ЛХП", 100), make_candidate("x", 1)},
         0,
         0},
        {"the first of the highest scores when it reads best",
         {make_candidate("x", 1), make_candidate("Привет, мир", 150),
          make_candidate("рТЙЧЕФ, НЙТ", 150), make_candidate("Привет, мир", 150)},
         1,
         1},
        {"equal texts: the earliest",
         {make_candidate("Hello", 70), make_candidate("Hello", 70), make_candidate("Hello", 70),
          make_candidate("Hello", 70)},
         0,
         0},
        {"a near tie goes to the earlier",
         {make_candidate("дом", 90), make_candidate("дым", 90), make_candidate("a", 1),
          make_candidate("b", 1)},
         0,
         0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(best_candidate_index(c.list), c.best_by_score) << c.what;
        EXPECT_EQ(preselected_candidate(c.list), c.preselected) << c.what;
    }
}

TEST(PreselectedCandidate, NanAndEmptyKeepTheFirst) {
    std::array<Candidate, 2> list{make_candidate("рТЙЧЕФ", std::nan("")),
                                  make_candidate("Привет", std::nan(""))};
    EXPECT_EQ(preselected_candidate(list), 0);
    EXPECT_EQ(preselected_candidate({}), 0);
}

}  // namespace
}  // namespace tavrik
