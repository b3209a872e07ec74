#include <gtest/gtest.h>

#include <string>

#include "encoding/utf8.hpp"
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

// Each character as the measure takes it: a Russian letter (a trigram's symbol, then the end
// of the word), a Latin letter or a sign with no place in Russian (one symbol at its own cost),
// or a boundary (nothing to measure alone).
TEST(RussianPlausibility, EachCharacterIsTakenForWhatItIs) {
    struct Case {
        std::u16string_view text;
        std::int64_t symbols;
        double average;  // 0: any
    };
    const Case cases[] = {
        {u"а", 2, 0},   {u"я", 2, 0},      {u"Я", 2, 0},        {u"ё", 2, 0},   {u"Ё", 2, 0},
        {u"ю", 2, 0},   {u"Ю", 2, 0},      {u"ж", 2, 0},        {u"q", 1, -24}, {u"Z", 1, -24},
        {u"ј", 1, -96}, {u"і", 1, -96},    {u"Ѐ", 1, -96},      {u"ѐ", 1, -96}, {u"џ", 1, -96},
        {u"é", 1, -96}, {u"\x01", 1, -96}, {u"\xD800", 1, -96}, {u"😀", 1, -96}, {u"—", 0, 0},
        {u"«", 0, 0},   {u"\xA0", 0, 0},   {u" ", 0, 0},        {u"\t", 0, 0},  {u"7", 0, 0},
    };
    for (const auto& [text, symbols, average] : cases) {
        const PlausibilityMeasure measure = measure_plausibility(text);
        EXPECT_EQ(measure.symbols, symbols) << static_cast<int>(text[0]);
        if (average != 0) {
            EXPECT_EQ(measure.average, average) << static_cast<int>(text[0]);
        }
    }
    // Letters are told apart, the last of the alphabet too.
    EXPECT_NE(russian_plausibility("мая"), russian_plausibility("маа"));
    EXPECT_NE(russian_plausibility("мою"), russian_plausibility("мо"));
    EXPECT_NE(russian_plausibility("ёж"), russian_plausibility("еж"));
}

// UTF-16, as names come, measures as the same text in UTF-8.
TEST(RussianPlausibility, AnyFormOfTheTextMeasuresAlike) {
    std::u16string long_text;
    while (long_text.size() * 3 <= PLAUSIBILITY_SAMPLE)
        long_text += u"Съешь же ещё этих мягких французских булок. ";
    for (const std::u16string_view text :
         {std::u16string_view(u"Съешь же ещё этих мягких французских булок"),
          std::u16string_view(u"ЭХ, ЧУЖАК! ОБЩИЙ СЪЁМ ЦЕН ШЛЯП (ЮФТЬ)"),
          std::u16string_view(u"╤Б╨░"),
          std::u16string_view(u"пара \xD83D\xDE00 и одна \xDC00 половина, «№1» — Café"),
          std::u16string_view(long_text)}) {
        std::string utf8;
        encoding::utf8::encode_lenient(text, utf8);
        const PlausibilityMeasure wide = measure_plausibility(text);
        const PlausibilityMeasure narrow = measure_plausibility(std::string_view(utf8));
        EXPECT_EQ(wide.average, narrow.average) << utf8.substr(0, 40);
        EXPECT_EQ(wide.symbols, narrow.symbols) << utf8.substr(0, 40);
    }
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
