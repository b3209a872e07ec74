// Enumerating in tests: a list that releases itself, and the check against the plain algorithm.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/candidates.hpp"

namespace tavrik::test {

struct Enumerated {
    std::array<Candidate, MAX_CANDIDATES> candidates;
    int count = 0;

    explicit Enumerated(std::string_view input);
    ~Enumerated();
    const Candidate& operator[](int i) const { return candidates[static_cast<std::size_t>(i)]; }
    std::string label(int i) const { return (*this)[i].label_text(); }
    std::string text(int i) const { return std::string((*this)[i].view()); }
};

// The enumeration gives exactly the plain algorithm's candidates: text, length, score, label,
// order, count.
void expect_same_as_plain(std::string_view input);

}  // namespace tavrik::test
