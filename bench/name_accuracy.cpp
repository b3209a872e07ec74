// Not a benchmark of speed: how many garbled names each rule of `names` and of the window finds,
// and how many right names it takes for garbled. The name sets are in bench/names/ (made by the
// script there): Russian names (short texts from the Russian translations of programs, and
// typical folder and file names), English ones (real names of files and folders), names of
// other Cyrillic languages, and right names with dashes, guillemets and «№». Each name is
// garbled both ways between the code pages of a Russian Windows: written in 1251 and read in 866
// (the usual way of «яряър» for «папка»), and written in 866 and read in 1251. And names garbled
// some other way (UTF-8 read as 866, as a zip made elsewhere shows them) must not be renamed
// into another garbling.
//
// The rules: the count (repair_name alone, as the window took names before they were judged),
// the window's (repair_broken_name: the count's repairs that convince), the plausibility
// (repair_name_by_plausibility), the console tool's before the common garblings were read
// (repair_name_either_way), and every rule with the common garblings (repair_name_every_way,
// what `names` and the window's check-system go by), which is also measured on the Russian names
// garbled each of the ways of NAME_READINGS. Right names also include accented Latin ones
// (accented_names.txt), and LIST, a file of names one a line (all names of a Debian system:
// find /usr -xdev -printf '%f\n' | sort -u), when given.
//
//   tavrik_name_accuracy [FOLDER [LIST]]   (bench/names by default)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "encoding/text_pages.hpp"
#include "encoding/utf8.hpp"
#include "names/name_judgement.hpp"
#include "names/name_readings.hpp"
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
    if (written == encoding::UTF8_CODE_PAGE) {
        bytes = utf8(name);
    } else {
        const auto result = platform::encode_from_utf16(written, name, bytes);
        if (!result.ok || result.used_default) return {};
    }
    std::u16string shown;
    if (!platform::decode_to_utf16(read, bytes, shown)) return {};
    return shown;
}

using Rule = int (*)(std::u16string_view, std::u16string&);
struct NamedRule {
    const char* label;
    Rule rule;
};
constexpr NamedRule RULES[] = {{"count", repair_name},
                               {"window", repair_broken_name},
                               {"plausibility", repair_name_by_plausibility},
                               {"console", repair_name_either_way},
                               {"every", repair_name_every_way}};
constexpr int RULE_COUNT = static_cast<int>(std::size(RULES));

struct NameSet {
    const char* label;
    std::vector<std::u16string> names;
};

double share(int n, int of) {
    return of == 0 ? 0.0 : 100.0 * n / of;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = (argc > 1 ? argv[1] : TAVRIK_NAME_SETS) + std::string("/");
    platform::SystemCodePageOverride russian(1251, 866);
    const bool verbose = std::getenv("TAVRIK_VERBOSE") != nullptr;
    std::vector<NameSet> sets = {{"Russian", read_names(folder + "russian_names.txt")},
                                 {"English", read_names(folder + "english_names.txt")},
                                 {"Ukrainian", read_names(folder + "ukrainian_names.txt")},
                                 {"Belarus.", read_names(folder + "belarusian_names.txt")},
                                 {"Bulgarian", read_names(folder + "bulgarian_names.txt")},
                                 {"Serbian", read_names(folder + "serbian_names.txt")},
                                 {"punctuat.", read_names(folder + "punctuated_names.txt")}};
    for (auto& name : read_names(folder + "typical_names.txt"))
        sets[0].names.push_back(name);
    sets.push_back({"accented", read_names(folder + "accented_names.txt")});
    if (argc > 2) sets.push_back({"listed", read_names(argv[2])});
    // Sets of names in Latin letters: never garbled Russian.
    const auto latin = [](const NameSet& set) {
        return std::strcmp(set.label, "English") == 0 || std::strcmp(set.label, "accented") == 0 ||
               std::strcmp(set.label, "listed") == 0;
    };

    // Right names taken for garbled.
    std::printf("right names taken for garbled, by rule:");
    for (const NamedRule& rule : RULES)
        std::printf(" %s", rule.label);
    std::printf("\n");
    int total_false[RULE_COUNT] = {};
    for (const NameSet& set : sets) {
        std::printf("  %-9s %6zu:", set.label, set.names.size());
        for (int r = 0; r < RULE_COUNT; ++r) {
            int taken = 0;
            for (const auto& name : set.names) {
                std::u16string out;
                if (!RULES[r].rule(name, out)) continue;
                ++taken;
                if (verbose && r > 0)
                    std::printf("\n    false (%s): %s -> %s", RULES[r].label, utf8(name).c_str(),
                                utf8(out).c_str());
            }
            std::printf(" %6d", taken);
            total_false[r] += taken;
        }
        std::printf("\n");
    }
    std::printf("  all:           ");
    for (const int n : total_false)
        std::printf(" %6d", n);
    std::printf("\n");

    // Garbled names found (the repair gives the name back).
    struct Way {
        const char* label;
        std::uint32_t written, read;
    };
    const Way ways[] = {{"1251 read as 866", 1251, 866}, {"866 read as 1251", 866, 1251}};
    std::printf("\ngarbled names found, by rule:");
    for (const NamedRule& rule : RULES)
        std::printf(" %s", rule.label);
    std::printf("; of those the count misses, found by the console\n");
    for (const Way way : ways) {
        for (const NameSet& set : sets) {
            if (latin(set)) continue;  // English stays English
            const bool russian_set = set.names.data() == sets[0].names.data();
            // The Russian names by length (short names are little evidence), then all of them.
            for (const int length : {1, 5, 0}) {
                if (length != 0 && !russian_set) continue;
                int names = 0, found[RULE_COUNT] = {}, missed_by_count = 0, missed_found = 0;
                for (const auto& name : set.names) {
                    if (length != 0 && (russian_letters(name) >= 5) != (length == 5)) continue;
                    const std::u16string shown = garble(name, way.written, way.read);
                    if (shown.empty() || shown == name) continue;
                    ++names;
                    bool by[RULE_COUNT];
                    for (int r = 0; r < RULE_COUNT; ++r) {
                        std::u16string out;
                        by[r] = RULES[r].rule(shown, out) && out == name;
                        found[r] += by[r];
                    }
                    if (!by[0]) {
                        ++missed_by_count;
                        missed_found += by[3];
                    }
                    if (verbose && by[0] && !by[1] && russian_set && length == 0)
                        std::printf("    lost: %s (%s)\n", utf8(shown).c_str(), utf8(name).c_str());
                }
                const char* lengths = length == 1   ? " 1-4 letters"
                                      : length == 5 ? " 5+ letters"
                                                    : "";
                std::printf("  %s, %s%-12s %6d:", way.label, set.label, lengths, names);
                for (const int n : found)
                    std::printf(" %5d %5.1f %%", n, share(n, names));
                std::printf("; %d of %d (%.1f %%)\n", missed_found, missed_by_count,
                            share(missed_found, missed_by_count));
            }
        }
    }

    // Names garbled otherwise: a rule's repair is another garbling, never the name.
    const Way others[] = {{"UTF-8 read as 866", encoding::UTF8_CODE_PAGE, 866},
                          {"KOI8-R read as 866", 20866, 866},
                          {"866 read as KOI8-R", 866, 20866}};
    std::printf("\nRussian names garbled otherwise, renamed into another garbling, by rule:");
    for (const NamedRule& rule : RULES)
        std::printf(" %s", rule.label);
    std::printf("\n");
    for (const Way way : others) {
        int names = 0, wrong[RULE_COUNT] = {};
        for (const auto& name : sets[0].names) {
            const std::u16string shown = garble(name, way.written, way.read);
            if (shown.empty() || shown == name) continue;
            ++names;
            for (int r = 0; r < RULE_COUNT; ++r) {
                std::u16string out;
                const bool renamed = RULES[r].rule(shown, out) && out != name;
                wrong[r] += renamed;
                if (verbose && renamed && r == 1)
                    std::printf("    wrong: %s -> %s\n", utf8(shown).c_str(), utf8(out).c_str());
            }
        }
        std::printf("  %-18s %6d:", way.label, names);
        for (const int n : wrong)
            std::printf(" %6d", n);
        std::printf("\n");
    }

    // Russian names garbled each of the common ways: repaired exactly by every rule at once.
    std::printf(
        "\nRussian names garbled the common ways (written in, shown in): repaired exactly,"
        " renamed into something else, by the rule of names and check-system\n");
    int all_names = 0, all_found = 0, all_wrong = 0;
    for (const NameReading& reading : NAME_READINGS) {
        int names = 0, found = 0, wrong = 0;
        for (const auto& name : sets[0].names) {
            std::u32string text = encoding::code_points_of(utf8(name)), garbled;
            if (!encoding::reread_text(reading.source, reading.shown, text, garbled)) continue;
            std::u16string shown;
            if (!encoding::utf8::decode_strict(encoding::utf8_of(garbled), shown) || shown == name)
                continue;
            ++names;
            std::u16string out;
            if (repair_name_every_way(shown, out) == 0) continue;
            found += out == name;
            wrong += out != name;
            if (verbose && out != name)
                std::printf("    wrong: %s -> %s (%s)\n", utf8(shown).c_str(), utf8(out).c_str(),
                            utf8(name).c_str());
        }
        std::printf(
            "  %-8s %-8s %6d: %6d %5.1f %%  %4d\n", encoding::text_page_name(reading.source),
            encoding::text_page_name(reading.shown), names, found, share(found, names), wrong);
        all_names += names;
        all_found += found;
        all_wrong += wrong;
    }
    std::printf("  all               %6d: %6d %5.1f %%  %4d\n", all_names, all_found,
                share(all_found, all_names), all_wrong);
    return 0;
}
