#include "ui/variant_rows.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/candidate_list.hpp"
#include "engine/heap_text.hpp"
#include "engine/text_repair.hpp"
#include "engine/text_score.hpp"

namespace tavrik {

namespace {

constexpr std::string_view ARROW = " \xE2\x86\x92 ";

bool has_text(const std::vector<Candidate>& rows, std::string_view text) {
    return std::any_of(rows.begin(), rows.end(),
                       [&](const Candidate& row) { return row.view() == text; });
}

// A row of ours; false when memory runs out.
bool add_row(std::vector<Candidate>& rows, std::string_view text, std::string_view label) {
    auto stored = allocate_shared_text(text.size());
    if (!stored) return false;
    if (!text.empty()) std::memcpy(stored.get(), text.data(), text.size());
    stored.get()[text.size()] = '\0';
    Candidate row;
    row.text = std::move(stored);
    row.length = text.size();
    row.score = score_text(text);
    const std::size_t cut = std::min(label.size(), LABEL_SIZE - 1);
    std::memcpy(row.label.data(), label.data(), cut);
    row.label[cut] = '\0';
    rows.push_back(std::move(row));
    return true;
}

}  // namespace

VariantRows variant_rows(std::string_view bytes, std::string_view seen, std::string_view origin) {
    VariantRows result;
    {
        const CandidateList catalogue(bytes);
        result.rows.assign(catalogue.view().begin(), catalogue.view().end());
    }
    result.catalogue_count = static_cast<int>(result.rows.size());
    // A text no chain of the catalogue reads lists nothing, as it always did.
    if (result.rows.empty()) return result;
    const TextRepair repair = repair_text(seen);
    const std::string_view chosen = repair.garbled ? seen : std::string_view(repair.text);

    int own = 0;
    const auto add_own = [&](std::string_view text, const std::string& label) {
        if (own == MAX_OWN_ROWS || has_text(result.rows, text)) return;
        if (add_row(result.rows, text, label)) ++own;
    };
    if (repair.changed && !repair.garbled) add_own(repair.text, repair_label(repair, origin));
    for (const WholeReading& reading : repair.readings) {
        add_own(reading.text,
                std::string(origin) + std::string(ARROW) + chain_steps(reading.chain));
    }
    // The text as given, when no row shows it (a character no strict chain reads back).
    if (!has_text(result.rows, seen)) add_own(seen, std::string(origin));

    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        if (result.rows[i].view() == chosen) {
            result.preselected = static_cast<int>(i);
            break;
        }
    }
    if (result.preselected < 0 && !result.rows.empty()) result.preselected = 0;
    return result;
}

}  // namespace tavrik
