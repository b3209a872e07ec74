#include "engine/chain_label.hpp"

#include <algorithm>
#include <cstdio>

#include "engine/code_pages.hpp"

namespace tavrik {

namespace {

constexpr const char* ARROW = " \xE2\x86\x92 ";  // " → "

// Appends with bounded formatting, so the label is cut at LABEL_SIZE - 1 bytes.
void append(std::array<char, LABEL_SIZE>& label, std::size_t& used, const char* piece) {
    if (used >= LABEL_SIZE - 1) return;
    const int n = std::snprintf(label.data() + used, LABEL_SIZE - used, "%s", piece);
    if (n > 0) used = std::min(LABEL_SIZE - 1, used + static_cast<std::size_t>(n));
}

}  // namespace

std::array<char, LABEL_SIZE> make_chain_label(std::uint32_t origin,
                                              std::span<const std::uint32_t> intermediates,
                                              std::uint32_t final_code_page) {
    std::array<char, LABEL_SIZE> label{};
    std::size_t used = 0;
    append(label, used, code_page_name(origin));
    for (const std::uint32_t step : intermediates) {
        append(label, used, ARROW);
        append(label, used, code_page_name(step));
    }
    append(label, used, ARROW);
    append(label, used, code_page_name(final_code_page));
    return label;
}

}  // namespace tavrik
