#include "names/plausible_name_repair.hpp"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "engine/russian_plausibility.hpp"
#include "names/name_judgement.hpp"
#include "names/name_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/file_system.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {

namespace {

// How much more plausible the repaired reading must be, over the whole name (in the model's
// eighths of a bit, as most_plausible_candidate weighs readings) and per symbol, and how
// plausible it must be itself. Measured on some 13,000 real Russian names and 2,500 English ones
// (bench/name_accuracy), no real name's reading ever gains over the name at all (the most: -15
// over the whole name), while nine in ten garbled names gain more than 200: the bar stands far
// from the real names.
constexpr double MIN_GAIN = 90;
constexpr double MIN_GAIN_PER_SYMBOL = 10;
constexpr double MIN_PLAUSIBILITY = -50;

bool is_russian_letter(char16_t unit) {
    return (unit >= 0x0410 && unit <= 0x044F) || unit == 0x0401 || unit == 0x0451;
}

}  // namespace

int repair_name_by_plausibility(std::u16string_view path, std::u16string& out) try {
    const std::u16string_view name = name_of(path);
    if (name.empty()) return 0;
    return repair_name_by_plausibility_from(name, read_in_system_pages(name), out);
} catch (const std::bad_alloc&) {
    return 0;
}

int repair_name_by_plausibility_from(std::u16string_view name, const SystemPageReadings& system,
                                     std::u16string& out) try {
    if (name.empty() || !system.pages_differ) return 0;
    const std::optional<std::u16string>* const readings[] = {&system.ansi_in_oem,
                                                             &system.oem_in_ansi};
    std::optional<PlausibilityMeasure> shown;  // measured once a reading is worth it
    const std::u16string* best = nullptr;
    double best_gain = 0;
    for (const std::optional<std::u16string>* const read : readings) {
        const std::optional<std::u16string>& reading = *read;
        if (!reading || *reading == name) continue;
        const auto letters = std::count_if(reading->begin(), reading->end(), is_russian_letter);
        if (letters < MIN_PLAUSIBLE_NAME_LETTERS) continue;
        if (!shown) shown = measure_name(name);
        const PlausibilityMeasure repaired = measure_name(*reading);
        const double per_symbol = repaired.average - shown->average;
        const double gain = name_plausibility_gain(*shown, repaired);
        if (repaired.average < MIN_PLAUSIBILITY || per_symbol < MIN_GAIN_PER_SYMBOL ||
            gain < MIN_GAIN || gain <= best_gain || !is_convincing_name_repair(name, *reading)) {
            continue;
        }
        best = &*reading;
        best_gain = gain;
    }
    if (best == nullptr) return 0;
    out = *best;
    return 1;
} catch (const std::bad_alloc&) {
    return 0;
}

int repair_name_either_way(std::u16string_view path, std::u16string& out) try {
    const std::u16string_view name = name_of(path);
    if (name.empty()) return 0;
    const SystemPageReadings readings = read_in_system_pages(name);
    return repair_broken_name_from(name, readings, out) == 1
               ? 1
               : repair_name_by_plausibility_from(name, readings, out);
} catch (const std::bad_alloc&) {
    return 0;
}

void scan_directory_either_way(std::u16string_view directory, BrokenNameList& list,
                               std::set<platform::DirectoryIdentity>& walked) {
    scan_directory(directory, list, walked, repair_name_either_way);
}

}  // namespace tavrik
