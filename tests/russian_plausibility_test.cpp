#include <gtest/gtest.h>

#include <string>

#include "engine/candidate_choice.hpp"
#include "engine/russian_plausibility.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/enumeration_check.hpp"

namespace tavrik {
namespace {

TEST(RussianPlausibility, RealTextAboveItsGarblings) {
    const double real = russian_plausibility("Привет, мир");
    for (const char* garbled : {"рТЙЧЕФ, НЙТ", "РџСЂРёРІРµС‚, РјРёСЂ", "ОПХБЕР, ЛХП", "яЁштхЄ, ьшЁ",
                                "╨Я╤А╨╕╨▓╨╡╤В", "\xEF\xF0\xE8\xE2\xE5\xF2"}) {
        EXPECT_GT(real, russian_plausibility(garbled)) << garbled;
    }
    EXPECT_GT(russian_plausibility("Съешь же ещё этих мягких французских булок"),
              russian_plausibility("яЁхЇ№ цх хйЄ ¤Єшѕ ь уъшѕ ЇЁрэ÷ѓчёъшѕ сѓыюъ"));
}

TEST(RussianPlausibility, CapitalsInsideAWordCost) {
    EXPECT_GT(russian_plausibility("ПРИВЕТ"), russian_plausibility("пРИВЕТ"));
    EXPECT_EQ(russian_plausibility("Привет"), russian_plausibility("ПРИВЕТ"));
    EXPECT_EQ(russian_plausibility(""), 0.0);
}

TEST(RussianPlausibility, OnlyTheStartOfALongTextIsMeasured) {
    std::string text;
    while (text.size() < PLAUSIBILITY_SAMPLE)
        text += "Привет, мир. ";
    EXPECT_EQ(russian_plausibility(text + std::string(1000, '\xFF')),
              russian_plausibility(text.substr(0, PLAUSIBILITY_SAMPLE)));
}

TEST(MostPlausibleCandidate, PicksTheReadingThatTheScoreCannotTell) {
    platform::SystemCodePageOverride russian(1251, 866);
    // KOI8-R shown as Windows-1251, no common word to help the score.
    const CandidateList list("\xE7\xC4\xC5 \xD4\xD9 \xC2\xD9\xCC \xD7\xDE\xC5\xD2\xC1?");
    const int chosen = most_plausible_candidate(list.view());
    EXPECT_EQ(test::text(list, chosen), "Где ты был вчера?");
    EXPECT_EQ(test::label(list, chosen), "utf8 → utf8 → koi8r");
    EXPECT_EQ(test::label(list, 0), "utf8 → utf8 → cp1251");
    EXPECT_EQ(list[0].score, list[chosen].score);  // the score ties them
}

TEST(MostPlausibleCandidate, NearTiesAndShortTextsGoToTheEarlierChain) {
    platform::SystemCodePageOverride russian(1251, 866);
    // UTF-8 shown as 1251: the first chain reads it right; a short word is weak evidence
    // against it.
    const CandidateList list("сыр");
    EXPECT_EQ(most_plausible_candidate(list.view()), 0);
    const CandidateList ascii("plain text");
    EXPECT_EQ(most_plausible_candidate(ascii.view()), 0);
    EXPECT_EQ(most_plausible_candidate({}), 0);
}

}  // namespace
}  // namespace tavrik
