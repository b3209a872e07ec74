// `fix` for inputs of any size: a text of up to WHOLE_TEXT_LIMIT bytes is repaired whole; a
// longer one line by line as it streams, with the chains its start shows, so memory does not grow
// with the input.
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
    repaired,      // the whole text repaired (or right as it was) and written
    read_failed,   // the input could not be read
    implausible,   // garbled beyond repair, or no text at all: left as it is
    write_failed,  // a piece could not be written
};

struct FixReport {
    FixOutcome outcome = FixOutcome::repaired;
    std::string failure;  // for read_failed and write_failed: why
    std::string chain;    // how it was repaired: the chain, or the chains of its parts
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
// message.
std::string failure_message(const FixReport& report, const std::string& input,
                            const std::string& output);

}  // namespace tavrik::cli
