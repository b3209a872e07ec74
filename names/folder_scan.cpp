#include "names/folder_scan.hpp"

#include <new>

#include "names/name_repair.hpp"
#include "platform/file_system.hpp"

namespace tavrik {

namespace {

struct Listed {
    std::u16string path;
    bool descend;
};

// The entries of one directory, "." and ".." left out; the listing is closed at once, so a deep
// walk holds no more than one open listing.
std::optional<std::vector<Listed>> list_directory(std::u16string_view directory) try {
    platform::DirectoryListing listing(directory);
    if (!listing.is_open()) return std::nullopt;
    std::vector<Listed> entries;
    platform::ListedEntry entry;
    while (listing.next(entry)) {
        if (entry.name == u"." || entry.name == u"..") continue;
        auto path = join_path(directory, entry.name);
        if (!path) continue;  // too long to name whole: neither recorded nor walked
        entries.push_back({std::move(*path), entry.is_directory && !entry.is_link});
    }
    return entries;
} catch (const std::bad_alloc&) {
    return std::nullopt;
}

// Records one broken name; false when the list cannot grow (it keeps what it has).
bool record(BrokenNameList& list, const std::u16string& path, const std::u16string& name) try {
    if (list.paths.size() == list.paths.capacity()) {
        const std::size_t capacity = list.paths.empty() ? 64 : 2 * list.paths.capacity();
        list.paths.reserve(capacity);
        list.names.reserve(capacity);
    }
    std::u16string path_copy = path, name_copy = name;
    list.paths.push_back(std::move(path_copy));  // cannot throw: room was made
    list.names.push_back(std::move(name_copy));
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

bool first_walk(std::set<platform::DirectoryIdentity>& walked, const std::u16string& directory) {
    const auto identity = platform::directory_identity(directory);
    return !identity || walked.insert(*identity).second;
}

}  // namespace

void scan_directory(std::u16string_view directory, BrokenNameList& list,
                    std::set<platform::DirectoryIdentity>& walked) {
    struct Level {
        std::vector<Listed> entries;
        std::size_t next = 0;
    };
    // The walk keeps its levels on the heap, so that a deep tree cannot exhaust the stack.
    std::vector<Level> levels;
    const std::u16string start(directory);
    if (!first_walk(walked, start)) return;
    if (auto entries = list_directory(start)) levels.push_back({std::move(*entries), 0});
    std::u16string repaired;
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.entries.size()) {
            levels.pop_back();
            continue;
        }
        const Listed entry = level.entries[level.next++];
        if (repair_name(entry.path, repaired) && !record(list, entry.path, repaired)) {
            levels.pop_back();  // the list cannot grow: this directory's walk ends
            continue;
        }
        // Below the directory as found, whether or not its own name was broken.
        if (entry.descend && first_walk(walked, entry.path)) {
            if (auto entries = list_directory(entry.path))
                levels.push_back({std::move(*entries), 0});
        }
    }
}

int scan_known_folders(BrokenNameList& list) {
    list = BrokenNameList{};
    std::set<platform::DirectoryIdentity> walked;
    for (const int folder : KNOWN_FOLDERS) {
        if (const auto path = platform::known_folder_path(folder))
            scan_directory(*path, list, walked);
    }
    return list.count();
}

void free_broken_names(BrokenNameList& list) {
    list = BrokenNameList{};
}

RenameCounts rename_broken_names(const BrokenNameList& list) {
    RenameCounts counts;
    for (std::size_t i = list.paths.size(); i-- > 0;) {
        const std::u16string& path = list.paths[i];
        const std::u16string target = with_name(path, list.names[i]);
        if (target == path) continue;
        if (target.size() <= platform::MAX_PATH_UNITS && platform::rename_no_replace(path, target)) {
            ++counts.fixed;
        } else {
            ++counts.errors;
        }
    }
    return counts;
}

}  // namespace tavrik
