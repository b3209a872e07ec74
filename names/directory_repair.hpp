// Repairing every broken name in a directory, and optionally in its whole tree.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.hpp"

namespace tavrik {

// One entry collected from a directory listing; the directory it was listed in is its walk's
// level.
using DirectoryEntry = platform::DirectoryEntry;

// Renames every entry of `directory` whose name is broken (repair_broken_name: repaired, and the
// repair convincing), and with `recursive` nonzero first does
// the same inside each subdirectory, so a directory's contents are repaired before the directory
// itself. Returns the number of entries renamed; 0 when `directory` cannot be listed. The walk
// holds the directories it is in and renames relative to them: it never follows links, never
// leaves the tree (even when the tree is changed meanwhile), and never renames or descends under
// a path too long for PATH_BUFFER_UNITS.
int repair_names_in_directory(std::u16string_view directory, int recursive);

}  // namespace tavrik
