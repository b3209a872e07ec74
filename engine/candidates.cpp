#include "engine/candidates.hpp"

#include <algorithm>
#include <cstring>

#include "engine/chain_label.hpp"
#include "engine/code_pages.hpp"
#include "engine/heap_text.hpp"
#include "engine/text_score.hpp"

namespace tavrik {

int run_chain(std::string_view input, Candidate& out, std::uint32_t origin,
              std::span<const std::uint32_t> intermediates, std::uint32_t final_code_page) {
    // Two work buffers; each step writes into the one not holding its source.
    std::array<std::unique_ptr<char[]>, 2> work{allocate_text(WORK_BUFFER_SIZE),
                                                allocate_text(WORK_BUFFER_SIZE)};
    if (!work[0] || !work[1]) return 0;

    std::string_view current = input;
    std::uint32_t current_code_page = origin;
    std::size_t target = 0;
    for (const std::uint32_t step : intermediates) {
        std::uint64_t length = WORK_BUFFER_SIZE;
        if (!convert_strict(current, work[target].get(), length, current_code_page, step)) return 0;
        current = {work[target].get(), static_cast<std::size_t>(length)};
        current_code_page = step;
        target ^= 1;
    }
    // The bytes are now read as what they really are.
    std::uint64_t length = WORK_BUFFER_SIZE;
    if (!convert_strict(current, work[target].get(), length, final_code_page,
                        encoding::UTF8_CODE_PAGE)) {
        return 0;
    }
    auto text = allocate_shared_text(static_cast<std::size_t>(length));
    if (!text) return 0;
    std::memcpy(text.get(), work[target].get(), static_cast<std::size_t>(length));
    text[static_cast<std::size_t>(length)] = '\0';

    out.text = std::move(text);
    out.length = length;
    out.score = score_text(out.view());
    out.label = make_chain_label(origin, intermediates, final_code_page);
    return 1;
}

ChainPlan plan_chains() {
    ChainPlan plan;
    plan.origins = {encoding::UTF8_CODE_PAGE, resolve_code_page(SYSTEM_ANSI_PLACEHOLDER),
                    resolve_code_page(SYSTEM_OEM_PLACEHOLDER)};
    for (const CodePageEntry& row : code_page_catalogue) {
        const std::uint32_t resolved = resolve_code_page(row.value);
        if (resolved != CODE_PAGE_ASCII) {
            plan.rows[static_cast<std::size_t>(plan.row_count++)] = resolved;
        }
    }
    return plan;
}

bool make_candidate(std::string_view text, std::string_view label, Candidate& out) {
    auto stored = allocate_shared_text(text.size());
    if (!stored) return false;
    if (!text.empty()) std::memcpy(stored.get(), text.data(), text.size());
    stored.get()[text.size()] = '\0';
    out.text = std::move(stored);
    out.length = text.size();
    out.score = score_text(text);
    const std::size_t cut = std::min(label.size(), LABEL_SIZE - 1);
    std::memcpy(out.label.data(), label.data(), cut);
    out.label[cut] = '\0';
    return true;
}

void free_candidates(std::span<Candidate> candidates) {
    for (Candidate& candidate : candidates) {
        candidate.text.reset();
        candidate.length = 0;
    }
}

}  // namespace tavrik
