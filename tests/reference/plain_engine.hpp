// The repair engine written the plain way, step by step as its behaviour is defined: every
// conversion a round trip through UTF-16, every chain run on its own, every word searched with
// strstr. Slow and obviously right; the tests, benchmarks and fuzzers hold the engine to it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/candidates.hpp"

namespace tavrik::plain {

int convert_strict(std::string_view source, char* destination, std::uint64_t& destination_length,
                   std::uint32_t from_code_page, std::uint32_t to_code_page);

int is_strict_utf8(std::string_view text);
int contains_common_word(std::string_view text);  // needs a NUL after the text
double score_text(std::string_view text);         // needs a NUL after the text

int run_chain(std::string_view input, Candidate& out, std::uint32_t origin,
              std::span<const std::uint32_t> intermediates, std::uint32_t final_code_page);

// Every candidate of the enumeration, in order, at most MAX_CANDIDATES.
std::vector<Candidate> enumerate_candidates(std::string_view input);

}  // namespace tavrik::plain
