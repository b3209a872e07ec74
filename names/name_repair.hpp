// File and folder names garbled by the confusion of the system's two code pages: a name written
// as bytes in the ANSI code page and read back in the OEM one, or the other way round.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/path_limits.hpp"

namespace tavrik {

// Capacity, terminator included, of every path and name.
inline constexpr std::size_t PATH_BUFFER_UNITS = platform::MAX_PATH_UNITS + 1;

// 3 for each unit of the Cyrillic block (U+0400..U+04FF), 1 for each of U+0020..U+007F, 0 for
// every other unit.
int score_name(std::u16string_view text);

// The name of a path: the text after its last separator, or all of it.
std::u16string_view name_of(std::u16string_view path);

// "directory<separator>name" (one separator, when `directory` already ends in one), or nothing
// when it would not fit in PATH_BUFFER_UNITS.
std::optional<std::u16string> join_path(std::u16string_view directory, std::u16string_view name);

// `path` with its name replaced: the directory part (through the last separator, or the current
// directory when there is none) followed by `name`.
std::u16string with_name(std::u16string_view path, std::u16string_view name);

// 1 when the name of `path` is broken, with its repaired form (a name, not a path) in `out`;
// else 0 and `out` untouched. Changes nothing on disk. A repaired name never holds a character
// the code pages could not carry, a path separator or a NUL.
int repair_name(std::u16string_view path, std::u16string& out);

// A name read back through the system's code pages: written in ANSI and read in OEM, and the
// other way round; each nothing when a character has no byte there or the reading makes no
// usable name (empty, too long, or holding a separator or a NUL). Every rule that goes by the
// system's pages starts from these, so a name checked by several is read once.
struct SystemPageReadings {
    std::optional<std::u16string> ansi_in_oem;
    std::optional<std::u16string> oem_in_ansi;
    bool pages_differ = false;  // the ANSI and OEM pages are not the same page
};
SystemPageReadings read_in_system_pages(std::u16string_view name);

// Whether both system code pages write and read every ASCII character as itself, so that an
// ASCII name reads back through them unchanged.
bool system_pages_keep_ascii();

// repair_name of a name already read through the system's pages.
int repair_name_from(std::u16string_view name, const SystemPageReadings& readings,
                     std::u16string& out);

// repair_name's answer when its repair is convincing (is_convincing_name_repair: it reads as
// right text and clearly better than the name), else 0 and `out` untouched. repair_name alone
// takes many right names for broken («отчет – итог.docx», whose dash reads as «Ц» in the other
// code page); this is what every listing and rename of the window and of `names --by-count`
// goes by.
int repair_broken_name(std::u16string_view path, std::u16string& out);
int repair_broken_name_from(std::u16string_view name, const SystemPageReadings& readings,
                            std::u16string& out);

// 1 when the entry at `path` was renamed to its repaired name in the same directory; 0 when its
// name is not broken (repair_broken_name), the new path would not fit in PATH_BUFFER_UNITS, or
// the rename failed (an existing entry is never replaced).
int rename_if_broken(std::u16string_view path);

}  // namespace tavrik
