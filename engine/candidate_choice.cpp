#include "engine/candidate_choice.hpp"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "engine/russian_plausibility.hpp"

namespace tavrik {

namespace {

// How much better, over the whole text, a later reading must be to displace an earlier one (16
// bits, in the model's eighths of a bit): a short text is little evidence, and earlier chains
// are the commoner garblings.
constexpr double PREFER_EARLIER = 128;

// The most plausible of the candidates `include` accepts; -1 when it accepts none.
template <class Include>
int most_plausible_where(std::span<const Candidate> candidates, Include include) {
    // Candidates often share one text: measure each text once (when memory allows).
    std::vector<std::pair<const char*, PlausibilityMeasure>> measured;
    int best = -1;
    PlausibilityMeasure best_measure{-std::numeric_limits<double>::infinity(), 0};
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& candidate = candidates[i];
        if (!include(candidate)) continue;
        std::optional<PlausibilityMeasure> known;
        for (const auto& [text, value] : measured) {
            if (text == candidate.text.get()) known = value;
        }
        if (!known) {
            known = measure_plausibility(candidate.view());
            try {
                measured.emplace_back(candidate.text.get(), *known);
            } catch (const std::bad_alloc&) {
                // measured again if it comes up again
            }
        }
        const double gain = (known->average - best_measure.average) *
                            static_cast<double>(std::min(
                                known->symbols, std::max<std::int64_t>(best_measure.symbols, 1)));
        if (best < 0 || gain > PREFER_EARLIER) {
            best_measure = *known;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace

int best_candidate_index(std::span<const Candidate> candidates) {
    int best = 0;
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        if (candidates[i].score > candidates[static_cast<std::size_t>(best)].score) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

int most_plausible_candidate(std::span<const Candidate> candidates) {
    return std::max(0, most_plausible_where(candidates, [](const Candidate&) { return true; }));
}

int preselected_candidate(std::span<const Candidate> candidates) {
    const int best = best_candidate_index(candidates);
    if (candidates.empty()) return best;
    const double score = candidates[static_cast<std::size_t>(best)].score;
    // A NaN best equals nothing: then the first of the highest scores stays.
    const int chosen =
        most_plausible_where(candidates, [score](const Candidate& c) { return c.score == score; });
    return chosen < 0 ? best : chosen;
}

}  // namespace tavrik
