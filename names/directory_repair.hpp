// Repairing every broken name in a directory, and optionally in its whole tree.
#pragma once

#include <string>
#include <string_view>

namespace tavrik {

// One entry collected from a directory listing.
struct DirectoryEntry {
    std::u16string directory;  // the directory it was listed in
    std::u16string name;
    int is_directory = 0;  // 1 when the entry is a directory
    int is_link = 0;       // 1 for a link, junction or other reparse point: never descended into
};

// Renames every entry of `directory` whose name repairs, and with `recursive` nonzero first does
// the same inside each subdirectory, so a directory's contents are repaired before the directory
// itself. Returns the number of entries renamed; 0 when `directory` cannot be listed. The walk
// never follows links, never leaves the tree, and never renames or descends under a path too
// long for PATH_BUFFER_UNITS.
int repair_names_in_directory(std::u16string_view directory, int recursive);

}  // namespace tavrik
