// The candidates of one text, enumerated when the list is made and released when it goes: the
// one owner of an enumeration for everything that does not keep candidates beyond a call.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "engine/candidates.hpp"

namespace tavrik {

class CandidateList {
  public:
    explicit CandidateList(std::string_view input) { enumerate_candidates(input, items_, count_); }
    ~CandidateList() { free_candidates(held()); }
    CandidateList(const CandidateList&) = delete;
    CandidateList& operator=(const CandidateList&) = delete;

    int size() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::span<const Candidate> view() const {
        return std::span(items_).first(static_cast<std::size_t>(count_));
    }
    const Candidate& operator[](int i) const { return items_[static_cast<std::size_t>(i)]; }

  private:
    std::span<Candidate> held() {
        return std::span(items_).first(static_cast<std::size_t>(count_));
    }

    std::array<Candidate, MAX_CANDIDATES> items_;
    int count_ = 0;
};

}  // namespace tavrik
