// tavrik-cli: the command-line companion for batch use. Repairs garbled files and standard
// input, guesses code pages, lists (and, when asked, renames) garbled file names.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/cli/streamed_fix.hpp"
#include "app/version.hpp"
#include "encoding/utf8.hpp"
#include "encoding/visible_text.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidate_list.hpp"
#include "engine/code_page_detection.hpp"
#include "engine/code_pages.hpp"
#include "engine/one_call_repairs.hpp"
#include "engine/readings.hpp"
#include "engine/russian_plausibility.hpp"
#include "engine/seen_text.hpp"
#include "names/folder_scan.hpp"
#include "names/name_readings.hpp"
#include "names/name_repair.hpp"
#include "names/plausible_name_repair.hpp"
#include "platform/command_line.hpp"
#include "platform/file_system.hpp"
#include "platform/files.hpp"
#include "platform/terminal.hpp"
#include "ui/list_line.hpp"
#include "ui/variant_rows.hpp"

namespace {

using namespace tavrik;

constexpr int EXIT_DONE = 0;
constexpr int EXIT_FAILED = 1;  // some input could not be read, repaired, written or renamed
constexpr int EXIT_USAGE = 2;

constexpr const char* USAGE =
    "Usage: tavrik-cli [COMMAND [ARGUMENTS]]\n"
    "Repairs Russian text garbled by decoding it in the wrong code page, and file names\n"
    "garbled the same ways.\n"
    "\n"
    "  list [FILE]             print every repair variant of FILE (standard input when FILE is\n"
    "                          left out) as the window lists them: chain, score, start of the\n"
    "                          text; the preselected variant is marked '*' and printed whole\n"
    "  fix [--by-score] FILE...\n"
    "                          write the best repair of each FILE to FILE.fixed; nothing else\n"
    "                          is written\n"
    "  fix [--by-score] -      repair standard input to standard output\n"
    "                          The best repair reads the text as it is seen (UTF-8, else the\n"
    "                          system's ANSI code page, line by line; after a byte order mark)\n"
    "                          and changes only the words that read clearly more plausibly as\n"
    "                          Russian through other code pages (up to three layers); right\n"
    "                          text in any language stays. A text of at most 1048575 bytes is\n"
    "                          judged whole; a longer one line by line as it streams, by the\n"
    "                          chains learnt on its start. A text that still looks garbled or\n"
    "                          reads as no text is left as it is: no .fixed file, standard\n"
    "                          input copied unchanged; exit status 1. --by-score\n"
    "                          takes the one-call repair's rule instead (the first of the\n"
    "                          highest text scores), for at most 1048575 bytes\n"
    "  top [N] [FILE]          the N (5) most plausible readings of FILE (standard input when\n"
    "                          left out) with both measures: plausibility and text score\n"
    "  detect [--by-count] FILE...\n"
    "                          guess the code page each FILE is written in: the one whose\n"
    "                          reading is the most plausible Russian (MacCyrillic included);\n"
    "                          --by-count: the one that reads the most Cyrillic letters\n"
    "  names FOLDER [--rename] [--by-count]\n"
    "                          list garbled file and folder names under FOLDER, a line each:\n"
    "                          the path, a tab, '-> ' and the repaired name; rename them only\n"
    "                          with --rename (an existing name is never replaced). A name is\n"
    "                          garbled when its repair has more Cyrillic letters, or reads far\n"
    "                          more plausibly as Russian («яряър» -> «папка»), or is one of\n"
    "                          the common garblings (UTF-8 read as 866, 437, 850, 1251 or\n"
    "                          1252; 1251 read as 1252 or 866; 866 read as 1251, 437 or 850;\n"
    "                          KOI8-R read as 1251 or Latin-1), and reads as right text and\n"
    "                          clearly more plausibly than the name («список — март.txt»\n"
    "                          stays); the most plausible repair wins; --by-count takes the\n"
    "                          first rule alone. Only the file system of FOLDER is walked:\n"
    "                          mount points inside it are passed over, as find -xdev does\n"
    "  help                    print this text\n"
    "  --version               print the version\n"
    "\n"
    "Without a command: list, from standard input.\n"
    "A FILE is a regular file (not a folder, device or pipe); but for fix, of at most\n"
    "1048575 bytes, and standard input may hold as many.\n"
    "In names and paths printed, a line feed, carriage return or tab shows as \\n, \\r, \\t,\n"
    "another control character or a byte that is not UTF-8 as \\xNN, a C1 control or a line\n"
    "or paragraph separator as \\uXXXX, and a backslash that is part of a name as \\\\.\n"
    "The system code pages are those of a Russian Windows (ANSI 1251, OEM 866); on Linux\n"
    "TAVRIK_ACP and TAVRIK_OEMCP name others.\n"
    "Exit status: 0 done; 1 something could not be read, repaired, written or renamed;\n"
    "2 wrong usage.\n";

// An argument as the program works with it, and as messages show it.
struct Argument {
    std::u16string text;  // empty for an argument that is not UTF-8 (POSIX)
    std::string shown;
};
using Arguments = std::vector<Argument>;

// A path or name for one line of output (see the help text).
std::string shown(std::u16string_view text) {
    return encoding::visible_utf16(text, platform::PATH_SEPARATOR == u'\\'
                                             ? encoding::Backslash::separator
                                             : encoding::Backslash::name_character);
}

void complain(const std::string& message) {
    std::fprintf(stderr, "tavrik-cli: %s\n", message.c_str());
}

// Standard output, every write checked through to the close: the first failure is kept and
// reported once at the end (finish_output).
struct OutputState {
    bool written = false;
    bool failed = false;
    int error = 0;
};
OutputState output;

void note_output_failure() {
    if (output.failed) return;
    output.failed = true;
    output.error = errno;
}

void write_out(std::string_view bytes) {
    if (bytes.empty()) return;
    output.written = true;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) note_output_failure();
}

[[gnu::format(printf, 1, 2)]] void print(const char* format, ...) {
    output.written = true;
    va_list values;
    va_start(values, format);
    const int result = std::vfprintf(stdout, format, values);
    va_end(values);
    if (result < 0) note_output_failure();
}

// Flushes and closes standard output: the status to exit with, 1 (after saying why) when
// anything written was lost. A standard output that was closed from the start and never written
// to is no failure.
int finish_output(int status) {
    errno = 0;
    if (std::fflush(stdout) != 0) note_output_failure();
    if (std::ferror(stdout)) note_output_failure();
    errno = 0;
    if (std::fclose(stdout) != 0 && (output.written || errno != EBADF)) note_output_failure();
    if (!output.failed) return status;
    complain(std::string("cannot write standard output: ") +
             (output.error != 0 ? std::strerror(output.error) : "write error"));
    return status == EXIT_DONE ? EXIT_FAILED : status;
}

// Standard input's bytes, or nothing after saying why not.
std::optional<std::string> read_standard_input() {
    std::string failure;
    const auto input = platform::read_standard_input_prefix(FILE_REPAIR_LIMIT, failure);
    if (!input) {
        complain("cannot read standard input: " + failure);
        return std::nullopt;
    }
    if (input->truncated) {
        complain("standard input is too large: more than " + std::to_string(FILE_REPAIR_LIMIT) +
                 " bytes");
        return std::nullopt;
    }
    return input->bytes;
}

// The file's bytes, or nothing after saying why not.
std::optional<std::string> read_file(const Argument& file, std::size_t limit) {
    if (file.text.empty()) {
        complain(file.shown.empty() ? "cannot read a file with an empty name"
                                    : "cannot read " + file.shown + ": the name is not UTF-8");
        return std::nullopt;
    }
    std::string failure;
    const auto read = platform::read_file_prefix(file.text, limit, failure);
    if (!read) {
        complain("cannot read " + file.shown + ": " + failure);
        return std::nullopt;
    }
    if (read->truncated) {
        complain(file.shown + " is too large: more than " + std::to_string(limit) + " bytes");
        return std::nullopt;
    }
    return read->bytes;
}

// The rows the window lists for `bytes` (the text as seen: what the bytes show).
VariantRows rows_of(const std::string& bytes) {
    const SeenText seen = seen_text(bytes);
    return variant_rows(bytes, seen.utf8, seen_origin(seen));
}

int list_variants(const Arguments& arguments) {
    if (arguments.size() > 1) return complain("list takes at most one file"), EXIT_USAGE;
    const auto input =
        arguments.empty() ? read_standard_input() : read_file(arguments[0], FILE_REPAIR_LIMIT);
    if (!input) return EXIT_FAILED;
    const VariantRows variants = rows_of(*input);
    if (variants.rows.empty()) return complain("no chain gave a result"), EXIT_FAILED;
    const int best = variants.preselected;
    for (std::size_t i = 0; i < variants.rows.size(); ++i) {
        const std::string line = format_list_line(variants.rows[i]);
        print("%s %s\n", static_cast<int>(i) == best ? "*" : " ", displayable_utf8(line).c_str());
    }
    print("\n%s\n", displayable_utf8(variants.rows[static_cast<std::size_t>(best)].view()).c_str());
    return EXIT_DONE;
}

int fix_standard_input(bool by_score) {
    if (!by_score) {
        const cli::FixReport report =
            cli::fix_standard_input_streamed([](std::string_view piece, std::string&) {
                write_out(piece);
                return true;
            });
        if (report.outcome == cli::FixOutcome::repaired) return EXIT_DONE;
        complain(cli::failure_message(report, "standard input", "standard output"));
        return EXIT_FAILED;
    }
    const auto input = read_standard_input();
    if (!input) return EXIT_FAILED;
    std::string output(std::max(input->size(), WORK_BUFFER_SIZE), '\0');
    std::uint64_t length = output.size();
    if (!repair_buffer(*input, output.data(), length)) {
        return complain("nothing to repair in standard input"), EXIT_FAILED;
    }
    write_out(std::string_view(output).substr(0, static_cast<std::size_t>(length)));
    return EXIT_DONE;
}

bool fix_file(const Argument& file, bool by_score) {
    if (file.text.empty()) {
        complain(file.shown.empty() ? "cannot read a file with an empty name"
                                    : "cannot read " + file.shown + ": the name is not UTF-8");
        return false;
    }
    std::u16string output = file.text;
    output += FIXED_SUFFIX;
    if (by_score) {
        // The one-call repair, unchanged: files of at most FILE_REPAIR_LIMIT bytes.
        if (!read_file(file, FILE_REPAIR_LIMIT)) return false;
        if (repair_file(file.text) != 1) {
            complain("cannot write " + shown(output));
            return false;
        }
    } else {
        const cli::FixReport report = cli::fix_file_streamed(file.text, output);
        if (report.outcome != cli::FixOutcome::repaired) {
            complain(cli::failure_message(report, file.shown, shown(output)));
            return false;
        }
    }
    print("%s -> %s\n", file.shown.c_str(), shown(output).c_str());
    return true;
}

int fix(Arguments arguments) {
    const bool by_score = !arguments.empty() && arguments[0].text == u"--by-score";
    if (by_score) arguments.erase(arguments.begin());
    if (arguments.empty()) return complain("fix needs a file, or - for standard input"), EXIT_USAGE;
    if (arguments.size() == 1 && arguments[0].text == u"-") return fix_standard_input(by_score);
    int status = EXIT_DONE;
    for (const Argument& file : arguments) {
        if (!fix_file(file, by_score)) status = EXIT_FAILED;
    }
    return status;
}

// N as `top` takes it: decimal digits, at most the largest size there is; nothing otherwise.
std::optional<std::size_t> count_of(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    std::size_t value = 0;
    constexpr std::size_t LARGEST = std::numeric_limits<std::size_t>::max();
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        const auto digit = static_cast<std::size_t>(c - u'0');
        if (value > (LARGEST - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// Whether a lone argument of `top` is meant as N (digits, or a sign and digits) and not a file.
bool looks_like_count(std::u16string_view text) {
    if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) text.remove_prefix(1);
    return !text.empty() && text.find_first_not_of(u"0123456789") == std::u16string_view::npos;
}

int top(Arguments arguments) {
    std::size_t shown_count = 5;
    if (arguments.size() > 2) return complain("top takes at most one file"), EXIT_USAGE;
    if (arguments.size() == 2 || (arguments.size() == 1 && looks_like_count(arguments[0].text))) {
        const auto count = count_of(arguments[0].text);
        if (!count) {
            return complain("top: N must be a whole number from 0 to " +
                            std::to_string(std::numeric_limits<std::size_t>::max()) + ", not " +
                            arguments[0].shown),
                   EXIT_USAGE;
        }
        shown_count = *count;
        arguments.erase(arguments.begin());
    }
    const auto input =
        arguments.empty() ? read_standard_input() : read_file(arguments[0], FILE_REPAIR_LIMIT);
    if (!input) return EXIT_FAILED;
    const VariantRows variants = rows_of(*input);
    if (variants.rows.empty()) return complain("no chain gave a result"), EXIT_FAILED;
    // By plausibility, best first; equal ones in list order.
    std::vector<std::pair<double, int>> ranked;
    for (std::size_t i = 0; i < variants.rows.size(); ++i)
        ranked.emplace_back(russian_plausibility(variants.rows[i].view()), static_cast<int>(i));
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    print("  plausibility  score  chain\tpreview\n");
    for (std::size_t k = 0; k < std::min(shown_count, ranked.size()); ++k) {
        const Candidate& candidate = variants.rows[static_cast<std::size_t>(ranked[k].second)];
        print("%s %12.2f %6.0f  %s\t%s\n", ranked[k].second == variants.preselected ? "*" : " ",
              ranked[k].first, candidate.score, candidate.label_text(),
              displayable_utf8(make_preview(candidate.view())).c_str());
    }
    return EXIT_DONE;
}

int detect(Arguments arguments) {
    const bool by_count = !arguments.empty() && arguments[0].text == u"--by-count";
    if (by_count) arguments.erase(arguments.begin());
    if (arguments.empty()) return complain("detect needs a file"), EXIT_USAGE;
    int status = EXIT_DONE;
    for (const Argument& file : arguments) {
        const auto input = read_file(file, FILE_REPAIR_LIMIT);
        if (!input) {
            status = EXIT_FAILED;
            continue;
        }
        DetectedCodePage detected;
        if (by_count)
            detected.result = detect_code_page(*input, detected.code_page);
        else
            detected = detect_code_page_by_plausibility(*input);
        const char* how = detected.result == 2   ? "already UTF-8 with Cyrillic"
                          : detected.result == 0 ? "no Cyrillic letters; the system ANSI code page"
                          : by_count             ? "reads with the most Cyrillic letters"
                                                 : "reads as the most plausible Russian";
        print("%s: %s (%u), %s\n", file.shown.c_str(), reading_code_page_name(detected.code_page),
              static_cast<unsigned>(detected.code_page), how);
    }
    return status;
}

// The walk's progress on one line of standard error, written over at most ten times a second:
// the entries seen and the folder being read (its end, when the line would be too long).
class ConsoleProgress {
  public:
    static constexpr std::size_t COLUMNS = 79;

    void show(const ScanProgress& progress) {
        const auto now = std::chrono::steady_clock::now();
        if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        shown_ = true;
        std::string line = "scanning: " + std::to_string(progress.entries) + " entries, ";
        const std::string path = shown(progress.directory);
        const std::size_t room = COLUMNS > width(line) + 1 ? COLUMNS - width(line) - 1 : 0;
        if (width(path) <= room) {
            line += path;
        } else {
            const std::size_t keep = room > 3 ? room - 3 : 0;
            std::size_t from = path.size();
            for (std::size_t kept = 0; from > 0 && kept < keep;) {
                --from;
                if ((static_cast<unsigned char>(path[from]) & 0xC0) != 0x80) ++kept;
            }
            line += "..." + path.substr(from);
        }
        write(line);
    }
    // Leaves the line empty for what follows.
    void clear() {
        if (shown_) write("");
    }

  private:
    // Characters, as a terminal gives each a column.
    static std::size_t width(std::string_view utf8) {
        return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    }
    void write(const std::string& line) {
        const std::size_t now = width(line);
        std::string padded = "\r" + line;
        if (previous_ > now) padded.append(previous_ - now, ' ');
        if (line.empty()) padded += '\r';
        previous_ = now;
        std::fputs(padded.c_str(), stderr);
        std::fflush(stderr);
    }

    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
    std::size_t previous_ = 0;
};

int names(const Arguments& arguments) {
    bool rename = false, by_count = false;
    const Argument* folder_argument = nullptr;
    for (const Argument& argument : arguments) {
        if (argument.text == u"--rename" && !rename) {
            rename = true;
        } else if (argument.text == u"--by-count" && !by_count) {
            by_count = true;
        } else if (folder_argument == nullptr) {
            folder_argument = &argument;
        } else {
            folder_argument = nullptr;
            break;
        }
    }
    if (folder_argument == nullptr) {
        return complain("names takes a folder, and --rename, --by-count"), EXIT_USAGE;
    }
    const std::u16string& folder = folder_argument->text;
    if (folder.empty() || !platform::Directory::open(folder).is_open()) {
        return complain("cannot list " + folder_argument->shown), EXIT_FAILED;
    }
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    // The count's rule (more Cyrillic after repair) alone, or every rule, the most plausible
    // repair winning; the walk keeps only the repairs that convince (is_convincing_name_repair).
    const BrokenNameRule rule = by_count ? repair_broken_name : repair_name_every_way;
    if (platform::standard_error_is_terminal()) {
        ConsoleProgress progress;
        ScanControl control([&progress](const ScanProgress& step) { progress.show(step); });
        scan_directory(folder, list, walked, rule, &control);
        progress.clear();
    } else {
        scan_directory(folder, list, walked, rule);
    }
    for (int i = 0; i < list.count(); ++i) {
        print("%s\t-> %s\n", shown(list.paths[static_cast<std::size_t>(i)]).c_str(),
              shown(list.names[static_cast<std::size_t>(i)]).c_str());
    }
    // What the walk could not take: after what it could.
    if (std::fflush(stdout) != 0) note_output_failure();
    for (const SkippedEntry& skipped : list.skipped) {
        if (skipped.reason == SkippedEntry::Reason::unreadable) {
            complain("cannot read folder " + shown(skipped.directory));
        } else {
            complain(std::string("path too long") +
                     (skipped.broken ? " (a garbled name that cannot be renamed): "
                                     : " (not walked): ") +
                     shown(std::u16string(skipped.directory)
                               .append(1, platform::PATH_SEPARATOR)
                               .append(skipped.name)));
        }
    }
    const int walk_status = list.skipped.empty() ? EXIT_DONE : EXIT_FAILED;
    // Another file system mounted inside is not walked, as `find -xdev` does: said, no failure.
    const auto say_mount_points = [&list] {
        if (list.mount_points_passed > 0) {
            print("%s mount point(s) passed over: other file systems are not walked\n",
                  std::to_string(list.mount_points_passed).c_str());
        }
    };
    if (list.kept_not_utf8 > 0) {
        print("%d name(s) not in UTF-8 that read as nothing Russian, left as they are\n",
              list.kept_not_utf8);
    }
    if (!rename) {
        print("%d garbled name(s) found; nothing renamed (--rename renames them)\n", list.count());
        say_mount_points();
        return walk_status;
    }
    const RenameCounts counts = rename_broken_names(list);
    print("renamed %d, failed %d\n", counts.fixed, counts.errors);
    say_mount_points();
    return counts.errors == 0 ? walk_status : EXIT_FAILED;
}

int run(int argc, char** argv) {
    const std::vector<std::u16string> texts = platform::command_line_arguments(argc, argv);
    const std::vector<std::string> shown_texts = platform::command_line_arguments_shown(argc, argv);
    Arguments arguments;
    for (std::size_t i = 0; i < texts.size() && i < shown_texts.size(); ++i) {
        arguments.push_back({texts[i], shown_texts[i]});
    }
    const std::u16string command = arguments.empty() ? u"list" : arguments.front().text;
    if (!arguments.empty()) arguments.erase(arguments.begin());
    if (command == u"list") return list_variants(arguments);
    if (command == u"fix") return fix(arguments);
    if (command == u"detect") return detect(arguments);
    if (command == u"top") return top(arguments);
    if (command == u"names") return names(arguments);
    if (command == u"help" || command == u"--help" || command == u"-h") {
        write_out(USAGE);
        return EXIT_DONE;
    }
    if (command == u"--version") {
        write_out("tavrik-cli " TAVRIK_VERSION "\n");
        return EXIT_DONE;
    }
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv) {
    platform::use_binary_standard_streams();
    platform::remove_temporary_files_when_stopped();
    int status = EXIT_FAILED;
    try {
        status = run(argc, argv);
    } catch (const std::bad_alloc&) {
        complain("memory ran out");
    }
    return finish_output(status);
}
