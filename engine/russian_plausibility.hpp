// How plausible a text reads as Russian, from a letter trigram model: a finer measure than the
// text score, which cannot tell «рТЙЧЕФ, НЙТ» from «Привет, мир».
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavrik {

// Only the start of a long text is measured: enough to judge, and cheap for 64 candidates.
inline constexpr std::size_t PLAUSIBILITY_SAMPLE = 32768;

// Higher is more plausible: minus the average cost, in eighths of a bit, of each letter (as
// Russian trigrams predict it), each word boundary, and each character that has no place in
// Russian text (box drawing, stray symbols, ill-formed UTF-8), with a cost for a capital
// letter after a small one inside a word.
double russian_plausibility(std::string_view utf8);

// The same measure with the number of symbols it averages over, which says how much evidence
// the text gives.
struct PlausibilityMeasure {
    double average = 0;        // russian_plausibility
    std::int64_t symbols = 0;  // letters, boundaries and other characters measured
};
PlausibilityMeasure measure_plausibility(std::string_view utf8);
// The same measure over code points, all of them (no sample is cut).
PlausibilityMeasure measure_plausibility(std::u32string_view text);
// The same measure over UTF-16 as its UTF-8 would be measured (a lone surrogate as U+FFFD),
// without converting a text shorter than the sample.
PlausibilityMeasure measure_plausibility(std::u16string_view text);

}  // namespace tavrik
