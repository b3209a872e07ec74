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

// The name's bytes in `code_page`, or nothing when some character has no byte there.
std::optional<std::string> encode_whole(std::u16string_view name, std::uint32_t code_page) {
    std::string bytes;
    const platform::EncodeResult result = platform::encode_from_utf16(code_page, name, bytes);
    if (!result.ok || result.used_default || bytes.empty() || bytes.size() + 1 > PATH_BUFFER_UNITS)
        return std::nullopt;
    return bytes;
}

// `bytes` read in `code_page`, when that makes a usable name.
std::optional<std::u16string> read_as_name(const std::optional<std::string>& bytes,
                                           std::uint32_t code_page) {
    std::u16string name;
    if (!bytes || !platform::decode_to_utf16(code_page, *bytes, name)) return std::nullopt;
    if (name.empty() || name.size() > platform::MAX_PATH_UNITS) return std::nullopt;
    if (name.find_first_of(std::u16string_view(u"\\/\0", 3)) != std::u16string::npos)
        return std::nullopt;
    return name;
}

}  // namespace

int repair_name_by_plausibility(std::u16string_view path, std::u16string& out) try {
    const std::u16string_view name = name_of(path);
    if (name.empty()) return 0;
    const std::uint32_t ansi = platform::system_ansi_code_page();
    const std::uint32_t oem = platform::system_oem_code_page();
    if (ansi == oem) return 0;
    const std::optional<std::u16string> readings[] = {
        read_as_name(encode_whole(name, ansi), oem),  // written in ANSI, read in OEM
        read_as_name(encode_whole(name, oem), ansi),  // written in OEM, read in ANSI
    };
    std::optional<PlausibilityMeasure> shown;  // measured once a reading is worth it
    const std::u16string* best = nullptr;
    double best_gain = 0;
    for (const auto& reading : readings) {
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

int repair_name_either_way(std::u16string_view path, std::u16string& out) {
    return repair_broken_name(path, out) == 1 ? 1 : repair_name_by_plausibility(path, out);
}

void scan_directory_either_way(std::u16string_view directory, BrokenNameList& list,
                               std::set<platform::DirectoryIdentity>& walked) {
    scan_directory(directory, list, walked, repair_name_either_way);
}

}  // namespace tavrik
