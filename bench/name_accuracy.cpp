// Not a benchmark of speed: how many garbled names each rule of the console tool's `names`
// finds, and how many real names it takes for garbled. The Russian names are short texts from
// the Russian translations of programs and typical folder and file names, the English ones real
// names of files and folders (bench/names/, made by the script there); each Russian name is
// garbled both ways between the code pages of a Russian Windows: written in 1251 and read in 866
// (the usual way of «яряър» for «папка»), and written in 866 and read in 1251.
//
//   tavrik_name_accuracy [FOLDER]   (bench/names by default)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "encoding/utf8.hpp"
#include "engine/russian_plausibility.hpp"
#include "names/name_repair.hpp"
#include "names/plausible_name_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"

namespace {

using namespace tavrik;

std::vector<std::u16string> read_names(const std::string& path) {
    std::vector<std::u16string> names;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::u16string name;
        if (!line.empty() && encoding::utf8::decode_strict(line, name)) names.push_back(name);
    }
    return names;
}

std::string utf8(std::u16string_view text) {
    std::string out;
    encoding::utf8::encode_lenient(text, out);
    return out;
}

int russian_letters(std::u16string_view name) {
    int count = 0;
    for (const char16_t c : name)
        count += (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
    return count;
}

// `name` written in one code page and read in the other; empty when it cannot be.
std::u16string garble(std::u16string_view name, std::uint32_t written, std::uint32_t read) {
    std::string bytes;
    const auto result = platform::encode_from_utf16(written, name, bytes);
    std::u16string shown;
    if (!result.ok || result.used_default || !platform::decode_to_utf16(read, bytes, shown))
        return {};
    return shown;
}

struct Tally {
    int names = 0, by_count = 0, by_plausibility = 0, either = 0, missed_by_count = 0,
        missed_found = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : TAVRIK_NAME_SETS;
    platform::SystemCodePageOverride russian(1251, 866);
    std::vector<std::u16string> russian_names = read_names(folder + "/russian_names.txt");
    for (auto& name : read_names(folder + "/typical_names.txt"))
        russian_names.push_back(name);
    const std::vector<std::u16string> english = read_names(folder + "/english_names.txt");
    const bool verbose = std::getenv("TAVRIK_VERBOSE") != nullptr;

    // Real names taken for garbled.
    int false_count = 0, false_plausibility = 0;
    for (const std::vector<std::u16string>* set : {&std::as_const(russian_names), &english}) {
        int count = 0, plausibility = 0;
        for (const auto& name : *set) {
            std::u16string out;
            if (repair_name(name, out)) ++count;
            if (repair_name_by_plausibility(name, out)) {
                ++plausibility;
                if (verbose)
                    std::printf("false: %s -> %s\n", utf8(name).c_str(), utf8(out).c_str());
            }
        }
        std::printf("%-8s real names %6zu: taken for garbled by the count %d, by plausibility %d\n",
                    set == &english ? "English" : "Russian", set->size(), count, plausibility);
        false_count += count;
        false_plausibility += plausibility;
    }

    // Garbled names found (the repair gives the name back).
    struct Way {
        const char* label;
        std::uint32_t written, read;
    };
    for (const Way way : {Way{"1251 read as 866", 1251, 866}, Way{"866 read as 1251", 866, 1251}}) {
        Tally short_names, long_names;
        for (const auto& name : russian_names) {
            const std::u16string shown = garble(name, way.written, way.read);
            if (shown.empty() || shown == name) continue;
            Tally& tally = russian_letters(name) >= 5 ? long_names : short_names;
            ++tally.names;
            std::u16string out;
            const bool count = repair_name(shown, out) && out == name;
            const bool plausible = repair_name_by_plausibility(shown, out) && out == name;
            const bool either = repair_name_either_way(shown, out) && out == name;
            tally.by_count += count;
            tally.by_plausibility += plausible;
            tally.either += either;
            if (!count) {
                ++tally.missed_by_count;
                tally.missed_found += either;
                if (verbose && !either && &tally == &long_names)
                    std::printf("missed: %s (%s) %.1f/%lld -> %.1f/%lld\n", utf8(shown).c_str(),
                                utf8(name).c_str(), measure_plausibility(utf8(shown)).average,
                                static_cast<long long>(measure_plausibility(utf8(shown)).symbols),
                                measure_plausibility(utf8(name)).average,
                                static_cast<long long>(measure_plausibility(utf8(name)).symbols));
            }
        }
        for (const auto& [label, t] :
             {std::pair{"1-4 letters", short_names}, std::pair{"5+ letters", long_names}}) {
            const auto share = [&](int n, int of) { return of == 0 ? 0.0 : 100.0 * n / of; };
            std::printf(
                "%s, %-11s %6d names: count %5.1f %%, plausibility %5.1f %%, either %5.1f %%; "
                "of the %d the count misses, found %d (%.1f %%)\n",
                way.label, label, t.names, share(t.by_count, t.names),
                share(t.by_plausibility, t.names), share(t.either, t.names), t.missed_by_count,
                t.missed_found, share(t.missed_found, t.missed_by_count));
        }
    }
    std::printf("false positives: count %d, plausibility %d\n", false_count, false_plausibility);
    return 0;
}
