// How plausible a text reads as Russian, from a letter trigram model: a finer measure than the
// text score, which cannot tell «рТЙЧЕФ, НЙТ» from «Привет, мир». Used by the console tool to
// pick the most plausible reading, and by the window to choose among the highest scores
// (engine/candidate_choice.hpp); the one-call repairs keep the text score.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "engine/candidates.hpp"

namespace tavrik {

// Only the start of a long text is measured: enough to judge, and cheap for 64 candidates.
inline constexpr std::size_t PLAUSIBILITY_SAMPLE = 32768;

// Higher is more plausible: minus the average cost, in eighths of a bit, of each letter (as
// Russian trigrams predict it), each word boundary, and each character that has no place in
// Russian text (box drawing, stray symbols, ill-formed UTF-8), with a cost for a capital
// letter after a small one inside a word.
double russian_plausibility(std::string_view utf8);

// The index of the most plausible candidate (0 when empty). A later candidate displaces an
// earlier one only when it is better by a margin over the whole text, so that near ties, and
// the weak evidence of a short text, go to the earlier chain.
int most_plausible_candidate(std::span<const Candidate> candidates);

// The same rule over only the candidates whose score equals `score`; -1 when none has it.
int most_plausible_with_score(std::span<const Candidate> candidates, double score);

}  // namespace tavrik
