// `fix` for inputs of any size: the reading is chosen on the start of the text (past a start of
// plain ASCII, which every reading keeps), then the whole text is converted with it a piece at a
// time, so memory does not grow with the input.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace tavrik::cli {

// Takes the next piece of the repaired text; false, with a few words in `failure`, when it
// cannot be written.
using PieceWriter = std::function<bool(std::string_view piece, std::string& failure)>;

enum class FixOutcome {
    repaired,       // the whole text converted and written
    read_failed,    // the input could not be read
    no_reading,     // no chain reads the start of the text
    implausible,    // no reading of the text reads as text: left as it is
    not_converted,  // some part does not convert in the reading chosen
    write_failed,   // a piece could not be written
};

struct FixReport {
    FixOutcome outcome = FixOutcome::repaired;
    std::string failure;  // for read_failed and write_failed: why
    std::string chain;    // the chosen reading's chain
    // For not_converted: where the part that does not convert (or whose repair is not UTF-8)
    // lies, its line from 1 and the byte that line starts at; line 0 when that is not known.
    std::uint64_t converted = 0;
    std::uint64_t line = 0;
};

// A text up to this size is read whole and judged among every reading; a longer one on its start.
inline constexpr std::size_t WHOLE_TEXT_LIMIT = 1048575;

// Repairs what `reader` gives into `write`, piece by piece. A text that no reading makes text of
// is written unchanged when `copy_when_implausible`, else not at all.
FixReport fix_streamed(platform::ByteReader& reader, const PieceWriter& write,
                       bool copy_when_implausible);

// Repairs the regular file at `path` into `output`: the repair goes into a temporary file beside
// `output` that replaces it only when all of the text converted and was written; otherwise
// `output` stays as it was and the temporary file is removed.
FixReport fix_file_streamed(std::u16string_view path, std::u16string_view output);

// Repairs standard input into `write` (a text that reads as no text goes through unchanged).
FixReport fix_standard_input_streamed(const PieceWriter& write);

// What a failed repair of `input` (a file's name, "standard input") into `output` came to, for a
// message; `unfinished` says what became of the output when a part did not convert.
std::string failure_message(const FixReport& report, const std::string& input,
                            const std::string& output, const std::string& unfinished);

}  // namespace tavrik::cli
