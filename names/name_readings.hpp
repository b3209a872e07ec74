// Names garbled between fixed pairs of code pages, whatever the system's pages are: a zip whose
// UTF-8 names Explorer read as 866 or 437, UTF-8 names a download or an FTP client read as
// 1251, 1251 names a Western system read as 1252 or Latin-1, KOI8-R names from old Unix
// servers. The system's own ANSI and OEM pages (repair_name) say nothing about where such a
// name came from, so each reading here is one way a name is known to be garbled, tried on every
// name, and the repair is taken only when it reads as right Russian (is_convincing_name_repair).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "encoding/text_pages.hpp"

namespace tavrik {

// One way a name is garbled: its bytes written in `source` and shown in `shown`.
struct NameReading {
    encoding::TextPage shown;
    encoding::TextPage source;
};

// Every way tried, the common ones first.
inline constexpr std::array<NameReading, 14> NAME_READINGS = {{
    {encoding::TextPage::cp866, encoding::TextPage::utf8},     // a zip on a Russian Windows
    {encoding::TextPage::cp437, encoding::TextPage::utf8},     // a zip on a Western Windows
    {encoding::TextPage::cp850, encoding::TextPage::utf8},     // a zip on a European Windows
    {encoding::TextPage::win1251, encoding::TextPage::utf8},   // downloads, FTP, mail
    {encoding::TextPage::cp1252, encoding::TextPage::utf8},    // the same on a Western system
    {encoding::TextPage::cp1252, encoding::TextPage::cp1251},  // Samba, music tools
    {encoding::TextPage::latin1, encoding::TextPage::cp1251},
    {encoding::TextPage::cp866, encoding::TextPage::cp1251},   // a 1251 name in a console
    {encoding::TextPage::win1251, encoding::TextPage::cp866},  // a DOS name on Windows
    {encoding::TextPage::cp437, encoding::TextPage::cp866},
    {encoding::TextPage::cp850, encoding::TextPage::cp866},
    {encoding::TextPage::win1251, encoding::TextPage::koi8r},  // old Unix servers
    {encoding::TextPage::latin1, encoding::TextPage::koi8r},
    {encoding::TextPage::cp1252, encoding::TextPage::koi8r},
}};

// The least number of Russian letters a repaired name must hold: fewer say too little to tell
// a garbled name from a right one in another language («Café» read back is «Cafй»).
inline constexpr int MIN_READING_LETTERS = 4;

// 1 when one of the readings repairs the name of `path` convincingly
// (is_convincing_name_repair, with at least MIN_READING_LETTERS Russian letters, no separator
// and no NUL), the most plausible of them in `out`; else 0 and `out` untouched. A name whose
// units hold bytes that were not UTF-8 (encoding/raw_names.hpp) is read from those bytes in
// 1251, 866 and KOI8-R instead. Changes nothing on disk.
int repair_name_by_readings(std::u16string_view path, std::u16string& out);

// The repair most plausible as Russian of all the rules give: the count of Cyrillic letters
// (repair_broken_name), the readings above, and the system's pages by plausibility
// (repair_name_by_plausibility); 1 and the repair in `out`, or 0.
int repair_name_every_way(std::u16string_view path, std::u16string& out);

}  // namespace tavrik
