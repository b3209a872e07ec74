// tavrik-cli: the command-line companion for batch use. Repairs garbled files and standard
// input, guesses code pages, lists (and, when asked, renames) garbled file names.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/candidates.hpp"
#include "engine/code_pages.hpp"
#include "engine/repair_utilities.hpp"
#include "engine/russian_plausibility.hpp"
#include "names/folder_scan.hpp"
#include "encoding/utf8.hpp"
#include "platform/command_line.hpp"
#include "platform/file_system.hpp"
#include "platform/files.hpp"
#include "ui/list_line.hpp"

namespace {

using namespace tavrik;

constexpr int EXIT_DONE = 0;
constexpr int EXIT_FAILED = 1;  // some input could not be read, repaired, written or renamed
constexpr int EXIT_USAGE = 2;

constexpr const char* USAGE =
    "Usage: tavrik-cli [COMMAND [ARGUMENTS]]\n"
    "Repairs Russian text garbled by decoding it in the wrong code page, and file names\n"
    "garbled between the system's ANSI and OEM code pages.\n"
    "\n"
    "  list [FILE]             print every repair variant of FILE (standard input when FILE is\n"
    "                          left out) as the window lists them: chain, score, start of the\n"
    "                          text; the preselected variant is marked '*' and printed whole\n"
    "  fix [--by-score] FILE...\n"
    "                          write the best repair of each FILE to FILE.fixed; nothing else\n"
    "                          is written\n"
    "  fix [--by-score] -      repair standard input to standard output\n"
    "                          The best repair is the most plausible reading as Russian text\n"
    "                          (letter trigrams); --by-score takes the window's choice instead:\n"
    "                          the first of the highest text scores\n"
    "  top [N] [FILE]          the N (5) most plausible readings of FILE (standard input when\n"
    "                          left out) with both measures: plausibility and text score\n"
    "  detect FILE...          guess the code page each FILE is written in\n"
    "  names FOLDER [--rename] list garbled file and folder names under FOLDER; rename them\n"
    "                          only with --rename (an existing name is never replaced)\n"
    "  help                    print this text\n"
    "\n"
    "Without a command: list, from standard input.\n"
    "The system code pages are those of a Russian Windows (ANSI 1251, OEM 866); on Linux\n"
    "TAVRIK_ACP and TAVRIK_OEMCP name others.\n"
    "Exit status: 0 done; 1 something could not be read, repaired, written or renamed;\n"
    "2 wrong usage.\n";

std::string utf8_of(std::u16string_view text) {
    std::string bytes;
    encoding::utf8::encode_lenient(text, bytes);
    return bytes;
}

void complain(const std::string& message) {
    std::fprintf(stderr, "tavrik-cli: %s\n", message.c_str());
}

std::optional<std::string> read_standard_input() {
    std::string input(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad()) return std::nullopt;
    return input;
}

// The file's bytes, or nothing after saying why not.
std::optional<std::string> read_file(const std::u16string& path, std::size_t limit) {
    const auto file = platform::read_file_prefix(path, limit);
    if (!file) {
        complain("cannot read " + utf8_of(path) + ": no such file, or not readable");
        return std::nullopt;
    }
    if (file->truncated) {
        complain(utf8_of(path) + " is larger than " + std::to_string(limit) + " bytes");
        return std::nullopt;
    }
    return file->bytes;
}

int list_variants(const std::vector<std::u16string>& arguments) {
    if (arguments.size() > 1) return complain("list takes at most one file"), EXIT_USAGE;
    const auto input =
        arguments.empty() ? read_standard_input() : read_file(arguments[0], FILE_REPAIR_LIMIT);
    if (!input) return EXIT_FAILED;
    std::array<Candidate, MAX_CANDIDATES> candidates;
    int count = 0;
    enumerate_candidates(*input, candidates, count);
    if (count == 0) return complain("no chain gave a result"), EXIT_FAILED;
    const auto held = std::span(candidates).first(static_cast<std::size_t>(count));
    const int best = best_candidate_index(held);
    for (int i = 0; i < count; ++i) {
        const std::string line = format_list_line(held[static_cast<std::size_t>(i)]);
        std::printf("%s %s\n", i == best ? "*" : " ", displayable_utf8(line).c_str());
    }
    std::printf("\n%s\n", displayable_utf8(held[static_cast<std::size_t>(best)].view()).c_str());
    free_candidates(held);
    return EXIT_DONE;
}

// The candidates of one text, released at the end.
struct Candidates {
    std::array<Candidate, MAX_CANDIDATES> items;
    int count = 0;
    explicit Candidates(std::string_view input) { enumerate_candidates(input, items, count); }
    ~Candidates() { free_candidates(held()); }
    std::span<Candidate> held() { return std::span(items).first(static_cast<std::size_t>(count)); }
};

// The most plausible reading of `input`, or nothing when no chain gave one.
std::optional<std::string> most_plausible_reading(std::string_view input) {
    Candidates candidates(input);
    if (candidates.count == 0) return std::nullopt;
    return std::string(
        candidates.held()[static_cast<std::size_t>(most_plausible_candidate(candidates.held()))]
            .view());
}

int fix_standard_input(bool by_score) {
    const auto input = read_standard_input();
    if (!input) return complain("cannot read standard input"), EXIT_FAILED;
    std::optional<std::string> repaired;
    if (by_score) {
        std::string output(std::max(input->size(), WORK_BUFFER_SIZE), '\0');
        std::uint64_t length = output.size();
        if (repair_buffer(*input, output.data(), length)) {
            repaired = output.substr(0, static_cast<std::size_t>(length));
        }
    } else {
        repaired = most_plausible_reading(*input);
    }
    if (!repaired) return complain("nothing to repair in standard input"), EXIT_FAILED;
    std::fwrite(repaired->data(), 1, repaired->size(), stdout);
    return std::fflush(stdout) == 0 ? EXIT_DONE : EXIT_FAILED;
}

bool fix_file(const std::u16string& path, bool by_score) {
    const auto input = read_file(path, FILE_REPAIR_LIMIT);
    if (!input) return false;
    std::u16string output = path + std::u16string(FIXED_SUFFIX);
    bool written = false;
    if (by_score) {
        written = repair_file(path) == 1;
    } else if (const auto repaired = most_plausible_reading(*input)) {
        written = platform::write_file_replacing(output, *repaired);
    }
    if (!written) {
        complain("cannot write " + utf8_of(output));
        return false;
    }
    std::printf("%s -> %s\n", utf8_of(path).c_str(), utf8_of(output).c_str());
    return true;
}

int fix(std::vector<std::u16string> arguments) {
    const bool by_score = !arguments.empty() && arguments[0] == u"--by-score";
    if (by_score) arguments.erase(arguments.begin());
    if (arguments.empty()) return complain("fix needs a file, or - for standard input"), EXIT_USAGE;
    if (arguments.size() == 1 && arguments[0] == u"-") return fix_standard_input(by_score);
    int status = EXIT_DONE;
    for (const std::u16string& path : arguments) {
        if (path.empty()) {
            complain("a file name that is not UTF-8 was skipped");
            status = EXIT_FAILED;
        } else if (!fix_file(path, by_score)) {
            status = EXIT_FAILED;
        }
    }
    return status;
}

int top(std::vector<std::u16string> arguments) {
    std::size_t shown = 5;
    if (!arguments.empty() && !arguments[0].empty() &&
        arguments[0].find_first_not_of(u"0123456789") == std::u16string::npos) {
        shown = std::stoul(utf8_of(arguments[0]));
        arguments.erase(arguments.begin());
    }
    if (arguments.size() > 1) return complain("top takes at most one file"), EXIT_USAGE;
    const auto input =
        arguments.empty() ? read_standard_input() : read_file(arguments[0], FILE_REPAIR_LIMIT);
    if (!input) return EXIT_FAILED;
    Candidates candidates(*input);
    if (candidates.count == 0) return complain("no chain gave a result"), EXIT_FAILED;
    // By plausibility, best first; equal ones in list order.
    std::vector<std::pair<double, int>> ranked;
    for (int i = 0; i < candidates.count; ++i) {
        ranked.emplace_back(
            russian_plausibility(candidates.held()[static_cast<std::size_t>(i)].view()), i);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    const int chosen = most_plausible_candidate(candidates.held());
    std::printf("  plausibility  score  chain\tpreview\n");
    for (std::size_t k = 0; k < std::min(shown, ranked.size()); ++k) {
        const Candidate& candidate = candidates.held()[static_cast<std::size_t>(ranked[k].second)];
        std::printf("%s %12.2f %6.0f  %s\t%s\n", ranked[k].second == chosen ? "*" : " ",
                    ranked[k].first, candidate.score, candidate.label_text(),
                    displayable_utf8(make_preview(candidate.view())).c_str());
    }
    return EXIT_DONE;
}

int detect(const std::vector<std::u16string>& arguments) {
    if (arguments.empty()) return complain("detect needs a file"), EXIT_USAGE;
    int status = EXIT_DONE;
    for (const std::u16string& path : arguments) {
        const auto input = read_file(path, FILE_REPAIR_LIMIT);
        if (!input) {
            status = EXIT_FAILED;
            continue;
        }
        std::uint32_t code_page = 0;
        const int result = detect_code_page(*input, code_page);
        const char* how = result == 2   ? "already UTF-8 with Cyrillic"
                          : result == 1 ? "reads with the most Cyrillic letters"
                                        : "no Cyrillic letters; the system ANSI code page";
        std::printf("%s: %s (%u), %s\n", utf8_of(path).c_str(), code_page_name(code_page),
                    static_cast<unsigned>(code_page), how);
    }
    return status;
}

int names(const std::vector<std::u16string>& arguments) {
    const bool rename = arguments.size() == 2 && arguments[1] == u"--rename";
    if (arguments.empty() || (arguments.size() == 2 && !rename) || arguments.size() > 2) {
        return complain("names takes a folder, and --rename"), EXIT_USAGE;
    }
    if (!platform::Directory::open(arguments[0]).is_open()) {
        return complain("cannot list " + utf8_of(arguments[0])), EXIT_FAILED;
    }
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(arguments[0], list, walked);
    for (int i = 0; i < list.count(); ++i) {
        std::printf("%s\t-> %s\n", utf8_of(list.paths[static_cast<std::size_t>(i)]).c_str(),
                    utf8_of(list.names[static_cast<std::size_t>(i)]).c_str());
    }
    // What the walk could not take: after what it could.
    std::fflush(stdout);
    for (const SkippedEntry& skipped : list.skipped) {
        if (skipped.reason == SkippedEntry::Reason::unreadable) {
            complain("cannot read folder " + utf8_of(skipped.directory));
        } else {
            complain(std::string("path too long") +
                     (skipped.broken ? " (a garbled name that cannot be renamed): "
                                     : " (not walked): ") +
                     utf8_of(skipped.directory) +
                     utf8_of(std::u16string(1, platform::PATH_SEPARATOR)) + utf8_of(skipped.name));
        }
    }
    const int walk_status = list.skipped.empty() ? EXIT_DONE : EXIT_FAILED;
    if (!rename) {
        std::printf("%d garbled name(s) found; nothing renamed (--rename renames them)\n",
                    list.count());
        return walk_status;
    }
    const RenameCounts counts = rename_broken_names(list);
    std::printf("renamed %d, failed %d\n", counts.fixed, counts.errors);
    return counts.errors == 0 ? walk_status : EXIT_FAILED;
}

}  // namespace

int main(int argc, char** argv) {
    platform::use_binary_standard_streams();
    std::vector<std::u16string> arguments = platform::command_line_arguments(argc, argv);
    const std::u16string command = arguments.empty() ? u"list" : arguments.front();
    if (!arguments.empty()) arguments.erase(arguments.begin());
    if (command == u"list") return list_variants(arguments);
    if (command == u"fix") return fix(arguments);
    if (command == u"detect") return detect(arguments);
    if (command == u"top") return top(arguments);
    if (command == u"names") return names(arguments);
    if (command == u"help" || command == u"--help" || command == u"-h") {
        std::fputs(USAGE, stdout);
        return EXIT_DONE;
    }
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
}
