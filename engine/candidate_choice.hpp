// Which candidate is chosen. The first of the highest text scores is the one-call repairs' rule;
// the text score cannot tell «рТЙЧЕФ» from «Привет» (both read as Cyrillic text), so the console
// tool takes the most plausible reading as Russian, and the window the most plausible among the
// highest scores.
#pragma once

#include <span>

#include "engine/candidates.hpp"

namespace tavrik {

// The first of the highest scores (0 when empty). A score that does not compare greater, NaN
// included, never displaces an earlier one.
int best_candidate_index(std::span<const Candidate> candidates);

// The most plausible candidate (0 when empty). A later candidate displaces an earlier one only
// when it is better by a margin over the whole text, so that near ties, and the weak evidence
// of a short text, go to the earlier chain.
int most_plausible_candidate(std::span<const Candidate> candidates);

// The candidate the window preselects: the most plausible, by the rule above, among the
// candidates that share the highest score; the first of the highest scores when that score is
// NaN (0 when empty). The garbled input read unchanged often scores as high as its repair and
// comes first; the plausibility tells them apart.
int preselected_candidate(std::span<const Candidate> candidates);

}  // namespace tavrik
