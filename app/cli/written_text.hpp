// What `fix` writes must be the UTF-8 it claims to be, and a refusal must say where the trouble
// is. A chain whose last step reads bytes as UTF-8 copies them unchecked (equal code pages are
// copied as they are), so a text that is UTF-8 only in part, a line of 1251 among UTF-8 lines,
// would otherwise pass through as repaired; and a text converted a piece at a time fails in a
// piece of a megabyte, where the user needs the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/streamed_conversion.hpp"

namespace tavrik::cli {

// Checks a text given in pieces cut anywhere for well-formed UTF-8; a sequence cut between two
// pieces waits for the next.
class Utf8Stream {
  public:
    // Every text is checked.
    Utf8Stream() = default;
    // The output of `chain`: only when its last step may write what is not UTF-8, as a copy
    // (UTF-8 read as UTF-8) and a system's conversion may. Our own tables write UTF-8 only, and
    // checking all of it again would cost a streamed repair an eighth of its time.
    explicit Utf8Stream(const ReadingChain& chain);

    // Whether `piece` goes on as UTF-8 (and, when `last`, ends it).
    bool take(std::string_view piece, bool last);

  private:
    std::string held_;  // the start of a sequence the previous piece cut
    bool needed_ = true;
};

// Where a repair has got to in its input.
struct InputPosition {
    std::uint64_t offset = 0;      // bytes passed
    std::uint64_t lines = 0;       // line feeds among them
    std::uint64_t line_start = 0;  // where the line they end in began

    void pass(std::string_view bytes);
};

// Where a fault lies: its line (from 1) and the byte that line starts at.
struct TextPlace {
    std::uint64_t line = 0;
    std::uint64_t byte = 0;
};

// Where the repair of `piece` goes wrong, given copies of the converter and the check as they
// stood before it and where the input stood then: the start of the first line that does not
// convert, or whose repair is not UTF-8, when the piece is given again a line at a time. `last`:
// the input ends with `piece`.
TextPlace failing_place(ChainConverter converter, Utf8Stream check, InputPosition before,
                        std::string_view piece, bool last);

}  // namespace tavrik::cli
