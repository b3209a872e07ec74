// The console tool's guess of the code page a text is written in: the one whose reading is the
// most plausible Russian. The count of Cyrillic letters (detect_code_page) cannot tell KOI8-R or
// ISO-8859-5 from Windows-1251: each reads most of the others' letters as letters.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavrik {

struct DetectedCodePage {
    // As detect_code_page's result: 2 UTF-8 that holds Cyrillic; 1 a code page read the text
    // as Russian; 0 no reading holds a Cyrillic letter (then the system ANSI code page).
    int result = 0;
    std::uint32_t code_page = 0;
};

// UTF-8 that holds Cyrillic as detect_code_page finds it; otherwise the most plausible of the
// readings in Windows-1251 (0x98 as Windows reads it), IBM866, KOI8-R, ISO-8859-5 and
// MacCyrillic (READING_MAC_CYRILLIC), in that order, and then the system's ANSI and OEM code
// pages when they are others. A later one displaces an earlier one only when it is more
// plausible by a margin over the whole text (most_plausible_candidate), so a very short or
// ambiguous text goes to the commoner code page. When no reading holds a Cyrillic letter,
// detect_code_page's answer.
DetectedCodePage detect_code_page_by_plausibility(std::string_view input);

}  // namespace tavrik
