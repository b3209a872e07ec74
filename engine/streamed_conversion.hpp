// A reading chosen on the start of a text, then applied to the whole text a piece at a time:
// texts of any size are repaired with memory that does not grow with them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

// How much of the start of a text the reading is chosen on: every chain's reading of it fits the
// work buffers (three bytes of UTF-8 at most for each byte).
inline constexpr std::size_t READING_DECISION_SIZE = 262144;

// A chain as run_chain runs it: the text read in `origin`, re-encoded into each intermediate in
// turn, and the bytes then read in `final_code_page` as UTF-8. Code pages are resolved numbers.
struct ReadingChain {
    std::uint32_t origin = 0;
    std::vector<std::uint32_t> intermediates;
    std::uint32_t final_code_page = 0;

    bool operator==(const ReadingChain&) const = default;
};

// The chain a candidate's label names ("cp1251 → cp1251 → utf8"), or nothing when the label
// names no chain of known code pages.
std::optional<ReadingChain> chain_of_label(std::string_view label);

// Where the start of a text that goes on past `start` is best cut for choosing its reading: after
// the last line feed in its second half, else after the last ASCII byte below '0' there (a
// character boundary in every code page of ours and every system code page), else before a
// UTF-8 sequence left incomplete. All of `start` when the text ends there (`whole`).
std::size_t reading_decision_cut(std::string_view start, bool whole);

// The most plausible reading of `start` as the console tool chooses it (most_plausible_candidate
// over every chain), with its chain; nothing when no chain gives one.
struct ChosenReading {
    ReadingChain chain;
    std::string label;
};
std::optional<ChosenReading> choose_reading_of_start(std::string_view start);

// Applies one chain to a text given in pieces cut anywhere: each step converts what it holds up
// to the last whole character of its source code page and carries the rest into the next piece,
// so the output is exactly what run_chain gives for the whole text (without its capacity).
class ChainConverter {
  public:
    explicit ChainConverter(ReadingChain chain);

    // Converts the next piece (`last` for the final one, possibly empty) and appends its UTF-8 to
    // `out`. False when some part does not convert; then the converter stays failed.
    bool convert(std::string_view piece, bool last, std::string& out);

    // Bytes of the text given so far whose conversion is complete (before a failure: up to the
    // piece that failed).
    std::uint64_t converted() const { return converted_; }

  private:
    struct Step {
        std::uint32_t from = 0;
        std::uint32_t to = 0;
        std::string pending;  // source bytes not yet converted
    };
    bool run_step(std::size_t index, std::string_view source, bool last, std::string& out);

    std::vector<Step> steps_;
    std::vector<std::string> between_;  // each step's output, the next one's input
    std::uint64_t given_ = 0;
    std::uint64_t converted_ = 0;
    bool failed_ = false;
};

}  // namespace tavrik
