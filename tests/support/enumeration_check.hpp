// Enumerating in tests: a candidate's label and text as strings, and the check against the plain
// algorithm.
#pragma once

#include <string>
#include <string_view>

#include "engine/candidate_list.hpp"

namespace tavrik::test {

inline std::string label(const CandidateList& list, int i) {
    return list[i].label_text();
}
inline std::string text(const CandidateList& list, int i) {
    return std::string(list[i].view());
}

// The enumeration gives exactly the plain algorithm's candidates: text, length, score, label,
// order, count.
void expect_same_as_plain(std::string_view input);

}  // namespace tavrik::test
