// The texts a candidate is shown with in the variant list: UI-free, so tests and the console
// tool use them too.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "engine/candidate_choice.hpp"  // best_candidate_index, once declared here
#include "engine/candidates.hpp"

namespace tavrik {

inline constexpr std::size_t PREVIEW_LIMIT = 41;    // texts this long are shown whole
inline constexpr std::size_t PREVIEW_CUT = 39;      // longer ones are cut to this many bytes
inline constexpr std::size_t LIST_LINE_SIZE = 768;  // with the NUL

// The start of `text` (up to its first NUL) for a list line: whole when at most 41 bytes,
// else its first 39 bytes followed by "…" (no ellipsis for exactly 42 bytes). The cut never
// splits a UTF-8 character: it moves back to the character's start. Tabs, carriage returns
// and line feeds become spaces, so a list line keeps its columns.
std::string make_preview(std::string_view text);

// "label<TAB>score<TAB>preview" in UTF-8, the score rounded to a whole number, cut at 767 bytes
// (never inside a character).
std::string format_list_line(const Candidate& candidate);

// The list line as the variant list shows it: characters decoded from UTF-8.
std::u16string list_line_for_display(const Candidate& candidate);

// `bytes` as well-formed UTF-8: each ill-formed sequence shows as U+FFFD.
std::string displayable_utf8(std::string_view bytes);

}  // namespace tavrik
