// Broken names in the user's shell folders: the walk that finds them and the renames.
#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/known_folders.hpp"

namespace tavrik {

// The shell folders walked, in this order: Desktop, Documents, Music, Pictures, Videos.
inline constexpr std::array<int, 5> KNOWN_FOLDERS = {
    platform::CSIDL_DESKTOP_FOLDER, platform::CSIDL_DOCUMENTS_FOLDER, platform::CSIDL_MUSIC_FOLDER,
    platform::CSIDL_PICTURES_FOLDER, platform::CSIDL_VIDEOS_FOLDER};

// The broken names found: entry i is paths[i] (as the walk formed it) with the repaired name
// names[i]. Entries stand in the order the walk met them, a directory before its contents.
struct BrokenNameList {
    std::vector<std::u16string> paths;
    std::vector<std::u16string> names;

    int count() const { return static_cast<int>(paths.size()); }
    bool empty() const { return paths.empty(); }
};

// Walks one directory and everything below it, adding every broken name to `list`. Links are
// not followed, a directory already in `walked` is not walked again (it gains those walked
// now), and nothing is recorded under a path too long for PATH_BUFFER_UNITS.
void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked);

// Empties `list`, then walks every known folder; a folder walked already (two known folders
// that are one, or one inside another) is not walked again. Returns the number found.
int scan_known_folders(BrokenNameList& list);

void free_broken_names(BrokenNameList& list);

struct RenameCounts {
    int fixed = 0;
    int errors = 0;
};

// Renames every entry to its repaired name, the contents of a directory before the directory
// itself (the list backwards), so one pass repairs a broken folder and what is inside it. An
// entry already named so counts as neither; a failed rename (the name taken, the entry gone)
// counts as an error and replaces nothing.
RenameCounts rename_broken_names(const BrokenNameList& list);

}  // namespace tavrik
