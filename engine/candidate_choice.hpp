// Which candidate a repair takes. Two rules, side by side: the first of the highest text scores
// (the window's preselection and the one-call repairs), and the most plausible reading as
// Russian (the console tool's choice), which the text score cannot make: it scores «рТЙЧЕФ»
// as high as «Привет».
#pragma once

#include <span>

#include "engine/candidates.hpp"

namespace tavrik {

// The first candidate with the highest score (0 when empty). A score that does not compare
// greater, NaN included, never displaces an earlier one.
int best_candidate_index(std::span<const Candidate> candidates);

// The most plausible candidate (0 when empty). A later candidate displaces an earlier one only
// when it is better by a margin over the whole text, so that near ties, and the weak evidence
// of a short text, go to the earlier chain.
int most_plausible_candidate(std::span<const Candidate> candidates);

}  // namespace tavrik
