#include "names/folder_scan.hpp"

#include <algorithm>
#include <new>
#include <utility>

#include "encoding/raw_names.hpp"
#include "names/name_judgement.hpp"
#include "names/name_readings.hpp"
#include "names/name_repair.hpp"
#include "names/tree_walk.hpp"

namespace tavrik {

namespace {

// The walk's level `index` and those above it in list.directories; its place there, or
// nothing when memory runs out.
std::optional<std::size_t> record_directories(BrokenNameList& list, TreeWalk& walk,
                                              std::size_t index) try {
    std::size_t first = index;  // the shallowest level not recorded yet
    while (first > 0 && walk.level(first - 1).record == TreeWalk::NOT_RECORDED)
        --first;
    for (std::size_t k = first; k <= index; ++k) {
        TreeWalk::Level& level = walk.level(k);
        if (level.record != TreeWalk::NOT_RECORDED) continue;
        const std::size_t parent = k == 0 ? WalkedDirectory::NO_PARENT : walk.level(k - 1).record;
        list.directories.push_back({parent, level.name, level.identity});
        level.record = list.directories.size() - 1;
    }
    return walk.level(index).record;
} catch (const std::bad_alloc&) {
    return std::nullopt;
}

// Records one broken name found in the walk's deepest directory; false when the list cannot
// grow (it keeps what it has).
bool record(BrokenNameList& list, TreeWalk& walk, const std::u16string& path,
            const std::u16string& name) try {
    const auto place = record_directories(list, walk, walk.depth() - 1);
    if (!place) return false;
    if (list.paths.size() == list.paths.capacity()) {
        const std::size_t capacity = list.paths.empty() ? 64 : 2 * list.paths.capacity();
        list.paths.reserve(capacity);
        list.names.reserve(capacity);
        list.places.reserve(capacity);
    }
    std::u16string path_copy = path, name_copy = name;
    list.paths.push_back(std::move(path_copy));  // cannot throw: room was made
    list.names.push_back(std::move(name_copy));
    list.places.push_back(*place);
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

void skip(BrokenNameList& list, SkippedEntry::Reason reason, std::u16string_view directory,
          std::u16string_view name = {}, bool broken = false) try {
    list.skipped.push_back({reason, std::u16string(directory), std::u16string(name), broken});
} catch (const std::bad_alloc&) {
    // Nothing more can be said.
}

// The rule's repair of the name at `path`, judged: the one check every listed name passes.
bool broken(BrokenNameRule rule, std::u16string_view path, std::u16string& repaired) {
    return rule(path, repaired) != 0 && is_convincing_name_repair(name_of(path), repaired);
}

// The walk itself; may run out of memory (scan_directory keeps what was found then).
void walk_tree(std::u16string_view directory, BrokenNameList& list,
               std::set<platform::DirectoryIdentity>& walked, BrokenNameRule broken_name,
               ScanControl* control) {
    if (control && control->cancelled()) return;
    TreeWalk walk;
    const std::u16string start(directory);
    platform::Directory opened = platform::Directory::open(start);
    if (!opened.is_open()) return skip(list, SkippedEntry::Reason::unreadable, start);
    const auto identity = opened.identity();
    if (identity && walked.count(*identity) != 0) return;
    if (control) control->report(start);
    if (!walk.enter(std::move(opened), start, start)) {
        return skip(list, SkippedEntry::Reason::unreadable, start);
    }
    if (identity) walked.insert(*identity);
    if (walk.top().incomplete) skip(list, SkippedEntry::Reason::unreadable, start);
    std::u16string repaired;
    while (!walk.empty()) {
        TreeWalk::Level& level = walk.top();
        if (level.next == level.entries.size()) {
            walk.leave();
            continue;
        }
        if (control) {
            if (control->cancelled()) return;
            control->count_entry(level.path);
        }
        // Taken out of the listing: the walk never comes back to an entry.
        const platform::DirectoryEntry entry = std::move(level.entries[level.next++]);
        const bool descend = entry.is_directory && !entry.is_link;
        const auto path = join_path(level.path, entry.name);
        if (!path) {  // too long to name whole: reported, neither recorded nor walked
            const bool is_broken = broken(broken_name, entry.name, repaired);
            if (is_broken || descend) {
                skip(list, SkippedEntry::Reason::too_long, level.path, entry.name, is_broken);
            }
            continue;
        }
        if (broken(broken_name, *path, repaired)) {
            if (!record(list, walk, *path, repaired)) {
                walk.leave();  // the list cannot grow: this directory's walk ends
                continue;
            }
        } else if (encoding::holds_raw_bytes(entry.name)) {
            ++list.kept_not_utf8;
        }
        if (!descend) continue;
        // Below the directory as found, whether or not its own name was broken.
        platform::Directory below = walk.open_subdirectory(entry.name);
        if (!below.is_open()) {
            skip(list, SkippedEntry::Reason::unreadable, *path);
            continue;
        }
        const auto below_identity = below.identity();
        if (identity && below_identity && below_identity->volume != identity->volume) {
            ++list.mount_points_passed;  // another file system: its name is listed, no more
            continue;
        }
        if (below_identity && walked.count(*below_identity) != 0) continue;
        if (control) control->report(*path);
        if (!walk.enter(std::move(below), entry.name, *path)) {
            skip(list, SkippedEntry::Reason::unreadable, *path);
            continue;
        }
        // Only an identity that can be trusted marks a directory as walked: an untrusted one
        // (index 0 on some network shares) might be shared by different directories.
        if (below_identity) walked.insert(*below_identity);
        if (walk.top().incomplete) skip(list, SkippedEntry::Reason::unreadable, *path);
    }
}

// Holds, as the deepest level of `chain`, the directory `place` of the list, reached again
// from where its walk started and checked at every step. Levels the chain already holds for the
// previous rename are kept. Nothing when a directory on the way has gone or changed.
const platform::Directory* hold_directory(const BrokenNameList& list, std::size_t place,
                                          TreeWalk& chain) {
    std::vector<std::size_t> wanted;  // from the start down to `place`
    for (std::size_t at = place; at != WalkedDirectory::NO_PARENT;
         at = list.directories[at].parent) {
        if (at >= list.directories.size()) return nullptr;
        wanted.push_back(at);
    }
    std::reverse(wanted.begin(), wanted.end());
    std::size_t common = 0;
    while (common < chain.depth() && common < wanted.size() &&
           chain.level(common).record == wanted[common]) {
        ++common;
    }
    while (chain.depth() > common)
        chain.leave();  // closed before anything in the level above is renamed
    for (std::size_t k = common; k < wanted.size(); ++k) {
        const WalkedDirectory& recorded = list.directories[wanted[k]];
        platform::Directory opened = k == 0 ? platform::Directory::open(recorded.name)
                                            : chain.open_subdirectory(recorded.name);
        if (!opened.is_open() || (recorded.identity && opened.identity() != recorded.identity)) {
            return nullptr;
        }
        if (!chain.push(std::move(opened), recorded.name, recorded.name)) return nullptr;
        chain.top().identity = recorded.identity;
        chain.top().record = wanted[k];
    }
    return chain.directory(chain.depth() - 1);
}

// scan_directory and scan_known_folders, with or without a control.
void scan_tree(std::u16string_view directory, BrokenNameList& list,
               std::set<platform::DirectoryIdentity>& walked, BrokenNameRule broken,
               ScanControl* control) {
    try {
        walk_tree(directory, list, walked, broken, control);
    } catch (const std::bad_alloc&) {
        // The list keeps what was recorded: equal numbers of paths and names.
    }
}

int scan_folders(BrokenNameList& list, ScanControl* control) {
    list = BrokenNameList{};
    std::set<platform::DirectoryIdentity> walked;
    for (const platform::KnownFolder folder : KNOWN_FOLDERS) {
        if (control && control->cancelled()) break;
        const auto path = platform::known_folder_path(folder);
        // A known folder that is not there (or cannot be opened) is passed over, as it always
        // was; what cannot be read inside one is reported.
        if (!path || !platform::Directory::open(*path).is_open()) continue;
        scan_tree(*path, list, walked, repair_name_every_way, control);
    }
    return list.count();
}

}  // namespace

void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked) {
    scan_tree(directory, list, walked, repair_name, nullptr);
}

void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked, ScanControl& control) {
    scan_tree(directory, list, walked, repair_name, &control);
}

void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked, BrokenNameRule broken,
                    ScanControl* control) {
    scan_tree(directory, list, walked, broken, control);
}

int scan_known_folders(BrokenNameList& list) {
    return scan_folders(list, nullptr);
}

int scan_known_folders(BrokenNameList& list, ScanControl& control) {
    return scan_folders(list, &control);
}

void free_broken_names(BrokenNameList& list) {
    list = BrokenNameList{};
}

RenameCounts rename_broken_names(const BrokenNameList& list) {
    RenameCounts counts;
    counts.errors += static_cast<int>(
        std::count_if(list.skipped.begin(), list.skipped.end(), [](const SkippedEntry& entry) {
            return entry.reason == SkippedEntry::Reason::too_long && entry.broken;
        }));
    TreeWalk chain;
    for (std::size_t i = list.paths.size(); i-- > 0;) {
        const std::u16string& path = list.paths[i];
        const std::u16string target = with_name(path, list.names[i]);
        if (target == path) continue;
        const platform::Directory* directory =
            target.size() <= platform::MAX_PATH_UNITS && i < list.places.size()
                ? hold_directory(list, list.places[i], chain)
                : nullptr;
        if (directory && directory->rename(std::u16string(name_of(path)), list.names[i])) {
            ++counts.fixed;
        } else {
            ++counts.errors;
        }
    }
    return counts;
}

}  // namespace tavrik
