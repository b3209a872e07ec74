#include "engine/candidate_choice.hpp"

#include <algorithm>
#include <limits>
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
    // Candidates often share one text: measure each text once.
    std::vector<std::pair<const char*, PlausibilityMeasure>> measured;
    int best = 0;
    PlausibilityMeasure best_measure{-std::numeric_limits<double>::infinity(), 0};
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& candidate = candidates[i];
        std::optional<PlausibilityMeasure> known;
        for (const auto& [text, value] : measured) {
            if (text == candidate.text.get()) known = value;
        }
        if (!known) {
            known = measure_plausibility(candidate.view());
            measured.emplace_back(candidate.text.get(), *known);
        }
        const double gain = (known->average - best_measure.average) *
                            static_cast<double>(std::min(
                                known->symbols, std::max<std::int64_t>(best_measure.symbols, 1)));
        if (i == 0 || gain > PREFER_EARLIER) {
            best_measure = *known;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace tavrik
