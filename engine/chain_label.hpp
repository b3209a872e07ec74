// The text that names a chain: short code page names joined by " → ".
#pragma once

#include <cstdint>
#include <span>

#include "engine/candidates.hpp"

namespace tavrik {

// Origin, each intermediate, final; cut at LABEL_SIZE - 1 bytes.
std::array<char, LABEL_SIZE> make_chain_label(std::uint32_t origin,
                                              std::span<const std::uint32_t> intermediates,
                                              std::uint32_t final_code_page);

}  // namespace tavrik
