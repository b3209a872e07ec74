// Names the count of Cyrillic letters misses: a lower-case name written in Windows-1251 and read
// in IBM866 often stays all Cyrillic («папка» shows as «яряър», «конфиги» as «ъюэЇшуш»), so
// repair_name, which asks for more Cyrillic after the repair, never finds it. Here a name is
// also repaired when its repaired reading is far more plausible as Russian (the letter trigram
// model of engine/russian_plausibility.hpp), by a conservative margin. The window keeps
// repair_broken_name's rule; the console tool uses this one unless asked for the count.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "names/folder_scan.hpp"
#include "names/name_repair.hpp"
#include "platform/known_folders.hpp"

namespace tavrik {

// 1 when the name of `path`, written as bytes in the system's ANSI code page and read in its OEM
// one or the other way round, reads so much more plausibly as Russian once read back that it is
// taken as garbled, with the repaired name in `out`; else 0 and `out` untouched. The repaired
// name holds at least MIN_PLAUSIBLE_NAME_LETTERS Russian letters, no separator and no NUL, and
// is convincing (is_convincing_name_repair). Changes nothing on disk.
inline constexpr int MIN_PLAUSIBLE_NAME_LETTERS = 4;
int repair_name_by_plausibility(std::u16string_view path, std::u16string& out);
// The same of a name already read through the system's pages.
int repair_name_by_plausibility_from(std::u16string_view name, const SystemPageReadings& readings,
                                     std::u16string& out);

// repair_broken_name's answer when it finds the name broken, else
// repair_name_by_plausibility's.
int repair_name_either_way(std::u16string_view path, std::u16string& out);

// scan_directory with repair_name_either_way deciding which names are broken: the same walk
// (links not followed, a directory in `walked` not walked again, nothing recorded under a path
// too long), the same order, a directory before its contents.
void scan_directory_either_way(std::u16string_view directory, BrokenNameList& list,
                               std::set<platform::DirectoryIdentity>& walked);

}  // namespace tavrik
