#include "ui/variant_rows.hpp"

#include <algorithm>
#include <string>

#include "engine/candidate_list.hpp"
#include "engine/text_repair.hpp"

namespace tavrik {

namespace {

constexpr std::string_view ARROW = " \xE2\x86\x92 ";

bool has_text(const std::vector<Candidate>& rows, std::string_view text) {
    return std::any_of(rows.begin(), rows.end(),
                       [&](const Candidate& row) { return row.view() == text; });
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
        Candidate row;
        if (!make_candidate(text, label, row)) return;
        result.rows.push_back(std::move(row));
        ++own;
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
