// Broken names in the user's shell folders: the walk that finds them and the renames.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "names/scan_control.hpp"
#include "platform/file_system.hpp"
#include "platform/known_folders.hpp"

namespace tavrik {

// The shell folders walked, in this order: Desktop, Documents, Music, Pictures, Videos.
inline constexpr std::array<platform::KnownFolder, 5> KNOWN_FOLDERS = {
    platform::KnownFolder::desktop, platform::KnownFolder::documents, platform::KnownFolder::music,
    platform::KnownFolder::pictures, platform::KnownFolder::videos};

// A directory the walk went through, as a rename made long after the walk finds it again.
struct WalkedDirectory {
    static constexpr std::size_t NO_PARENT = std::numeric_limits<std::size_t>::max();
    std::size_t parent = NO_PARENT;  // the directory above it; NO_PARENT where a walk started
    std::u16string name;             // its name in the parent; where a walk started, its path
    std::optional<platform::DirectoryIdentity> identity;  // when it can be trusted
};

// An entry the walk met but could not take.
struct SkippedEntry {
    enum class Reason {
        unreadable,  // a directory that could not be opened or read to its end
        too_long,    // a path longer than MAX_PATH_UNITS: neither recorded nor walked
    };
    Reason reason = Reason::unreadable;
    std::u16string directory;  // where it was met (for an unreadable one: its own path)
    std::u16string name;       // its name there (empty for an unreadable one)
    bool broken = false;       // its name repairs: a rename that cannot be done
};

// The broken names found: entry i is paths[i] (as the walk formed it) with the repaired name
// names[i]. Entries stand in the order the walk met them, a directory before its contents.
struct BrokenNameList {
    std::vector<std::u16string> paths;
    std::vector<std::u16string> names;
    // Entry i lies in directories[places[i]]; the chain of parents leads to where its walk
    // started.
    std::vector<std::size_t> places;
    std::vector<WalkedDirectory> directories;
    std::vector<SkippedEntry> skipped;
    // Directories on another file system than their walk's start (mount points): not walked,
    // as `find -xdev` does, so that a walk of / stays out of /proc, /sys and network shares.
    std::size_t mount_points_passed = 0;
    // Names the walk met that are not UTF-8 (POSIX; encoding/raw_names.hpp) and that no rule
    // repaired: left as they are.
    int kept_not_utf8 = 0;

    int count() const { return static_cast<int>(paths.size()); }
    bool empty() const { return paths.empty(); }
};

// Walks one directory and everything below it, adding every broken name to `list`: a name
// repair_name repairs, when the repair is convincing (is_convincing_name_repair). Links are
// not followed, nor are mount points (list.mount_points_passed counts them), a directory
// already in `walked` is not walked again (it gains those walked now
// whose identity can be trusted), and nothing is recorded under a path too long for
// PATH_BUFFER_UNITS: such entries, and directories that cannot be read, go to list.skipped.
void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked);
// The same, telling `control` how far it has got and ending early when it is cancelled.
void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked, ScanControl& control);

// The same walk with another rule proposing repairs (repair_name's form: 1 and the repaired
// name, or 0). Whatever the rule, a name is recorded only when its proposed repair is
// convincing (is_convincing_name_repair): no rule lists or renames a right name on its own sign.
using BrokenNameRule = int (*)(std::u16string_view path, std::u16string& repaired);
void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked, BrokenNameRule broken,
                    ScanControl* control = nullptr);

// Empties `list`, then walks every known folder with repair_name_every_way (the count's rule,
// the common garblings and the plausibility, the most plausible repair winning); a folder walked
// already (two known folders that are one, or one inside another) is not walked again. Returns the
// number found.
int scan_known_folders(BrokenNameList& list);
// The same, telling `control` how far it has got. Once it is cancelled the walk ends soon, no
// further folder is walked, and `list` holds only part of what there is (control.cancelled()
// says so).
int scan_known_folders(BrokenNameList& list, ScanControl& control);

void free_broken_names(BrokenNameList& list);

struct RenameCounts {
    int fixed = 0;
    int errors = 0;
};

// Renames every entry to its repaired name, the contents of a directory before the directory
// itself (the list backwards), so one pass repairs a broken folder and what is inside it. Each
// rename is made inside the directory the walk found the entry in, reached again from where the
// walk started, by name, never through a link, and only when every directory on the way is
// still the one walked; otherwise it is an error. An entry already named so counts as neither;
// a failed rename (the name taken, the entry gone, a directory changed) counts as an error and
// replaces nothing; so does a broken name skipped for its too long path.
RenameCounts rename_broken_names(const BrokenNameList& list);

}  // namespace tavrik
