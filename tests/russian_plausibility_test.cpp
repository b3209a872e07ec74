#include <gtest/gtest.h>

#include <string>

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
    const test::Enumerated list("\xE7\xC4\xC5 \xD4\xD9 \xC2\xD9\xCC \xD7\xDE\xC5\xD2\xC1?");
    const int chosen = most_plausible_candidate(
        std::span(list.candidates).first(static_cast<std::size_t>(list.count)));
    EXPECT_EQ(list.text(chosen), "Где ты был вчера?");
    EXPECT_EQ(list.label(chosen), "utf8 → utf8 → koi8r");
    EXPECT_EQ(list.label(0), "utf8 → utf8 → cp1251");
    EXPECT_EQ(list[0].score, list[chosen].score);  // the score ties them
}

TEST(MostPlausibleCandidate, NearTiesAndShortTextsGoToTheEarlierChain) {
    platform::SystemCodePageOverride russian(1251, 866);
    // UTF-8 shown as 1251: the first chain reads it right; a short word is weak evidence
    // against it.
    const test::Enumerated list("сыр");
    EXPECT_EQ(most_plausible_candidate(
                  std::span(list.candidates).first(static_cast<std::size_t>(list.count))),
              0);
    const test::Enumerated ascii("plain text");
    EXPECT_EQ(most_plausible_candidate(
                  std::span(ascii.candidates).first(static_cast<std::size_t>(ascii.count))),
              0);
    EXPECT_EQ(most_plausible_candidate({}), 0);
}

}  // namespace
}  // namespace tavrik
