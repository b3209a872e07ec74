// Which candidate of a list is chosen: the rules the window and the one-call repairs preselect by.
#pragma once

#include <span>

#include "engine/candidates.hpp"

namespace tavrik {

// The first of the highest scores (0 when empty). A score that does not compare greater, NaN
// included, never displaces an earlier one. The one-call repairs choose by this rule.
int best_candidate_index(std::span<const Candidate> candidates);

// The candidate the window preselects: the most plausible as Russian text among the candidates
// that share the highest score (by most_plausible_candidate's rule, so the earliest of them on a
// near tie); the first of the highest scores when none of them measures better (0 when empty).
// The garbled input read unchanged often scores as high as its repair, both being Cyrillic
// text, and comes first; the plausibility tells them apart.
int preselected_candidate(std::span<const Candidate> candidates);

}  // namespace tavrik
