// Re-encoding chains and the list of repair candidates they produce.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace tavrik {

inline constexpr int MAX_CANDIDATES = 64;
inline constexpr std::size_t LABEL_SIZE = 256;  // with the terminating NUL

// One repair result.
struct Candidate {
    // UTF-8 (when the chain produced it), then one NUL. Candidates with equal texts may share it.
    std::shared_ptr<const char[]> text;
    std::uint64_t length = 0;              // bytes of text, without the NUL
    double score = 0.0;                    // score_text of the text
    std::array<char, LABEL_SIZE> label{};  // the chain, "cp1251 → cp1251 → utf8"

    std::string_view view() const { return {text.get(), static_cast<std::size_t>(length)}; }
    const char* label_text() const { return label.data(); }
};

// Reads `input` in `origin`, re-encodes it through each intermediate in turn, and reads the
// resulting bytes in `final_code_page`, giving UTF-8. Every step is a strict conversion with a
// capacity of WORK_BUFFER_SIZE. Returns 1 and fills `out` on success; returns 0 and leaves `out`
// untouched when a step fails or memory runs out.
int run_chain(std::string_view input, Candidate& out, std::uint32_t origin,
              std::span<const std::uint32_t> intermediates, std::uint32_t final_code_page);

// Runs every chain origin -> intermediate -> final over the catalogue: origins UTF-8, system
// ANSI, system OEM; then each final and each intermediate in catalogue order, US-ASCII skipped.
// Successful chains fill `out` in that order until it holds MAX_CANDIDATES. Sets and returns
// `count`.
int enumerate_candidates(std::string_view input, std::span<Candidate, MAX_CANDIDATES> out,
                         int& count);

// A candidate of our own: `text` (copied, with its NUL), its score, `label` cut to fit; false
// when memory runs out (`out` untouched).
bool make_candidate(std::string_view text, std::string_view label, Candidate& out);

// Releases each candidate's text and sets its length to 0.
void free_candidates(std::span<Candidate> candidates);

// The origins, finals and intermediates an enumeration walks, resolved once at its start.
struct ChainPlan {
    std::array<std::uint32_t, 3> origins{};
    std::array<std::uint32_t, 8> rows{};  // catalogue rows other than US-ASCII, in order
    int row_count = 0;
};
ChainPlan plan_chains();

}  // namespace tavrik
