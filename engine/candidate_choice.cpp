#include "engine/candidate_choice.hpp"

#include "engine/russian_plausibility.hpp"

namespace tavrik {

int best_candidate_index(std::span<const Candidate> candidates) {
    int best = 0;
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        // A score that does not compare greater (NaN included) never replaces the best.
        if (candidates[i].score > candidates[static_cast<std::size_t>(best)].score) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

int preselected_candidate(std::span<const Candidate> candidates) {
    const int best = best_candidate_index(candidates);
    if (candidates.empty()) return best;
    // A NaN best equals nothing: then the first of the highest scores stays.
    const int chosen =
        most_plausible_with_score(candidates, candidates[static_cast<std::size_t>(best)].score);
    return chosen < 0 ? best : chosen;
}

}  // namespace tavrik
