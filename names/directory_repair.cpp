#include "names/directory_repair.hpp"

#include <new>
#include <optional>
#include <vector>

#include "names/name_repair.hpp"
#include "platform/file_system.hpp"

namespace tavrik {

namespace {

// "directory<separator>name", or nothing when it would not fit in a path buffer.

// One directory being repaired: its entries, collected before anything is renamed, and how far
// the repair has got.
struct Level {
    std::u16string directory;
    std::vector<DirectoryEntry> entries;
    std::size_t next = 0;
};

// The entries of `directory` apart from "." and "..", or nothing when it cannot be listed or
// memory runs out. The listing is closed before anything is renamed.
std::optional<Level> collect(std::u16string_view directory) try {
    platform::DirectoryListing listing(directory);
    if (!listing.is_open()) return std::nullopt;
    Level level{std::u16string(directory), {}, 0};
    platform::ListedEntry listed;
    while (listing.next(listed)) {
        if (listed.name == u"." || listed.name == u"..") continue;
        if (level.entries.size() == level.entries.capacity()) {
            level.entries.reserve(level.entries.empty() ? 256 : 2 * level.entries.capacity());
        }
        level.entries.push_back(
            {level.directory, listed.name, listed.is_directory ? 1 : 0, listed.is_link ? 1 : 0});
    }
    return level;
} catch (const std::bad_alloc&) {
    return std::nullopt;  // nothing in this directory has been renamed
}

}  // namespace

int repair_names_in_directory(std::u16string_view directory, int recursive) {
    // The descent keeps its levels on the heap, so that a deep tree cannot exhaust the stack.
    std::vector<Level> levels;
    auto first = collect(directory);
    if (!first) return 0;
    levels.push_back(std::move(*first));
    int renamed = 0;
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.entries.size()) {
            levels.pop_back();
            if (levels.empty()) break;
            // The subdirectory is done: now the directory itself may be renamed.
            Level& parent = levels.back();
            const DirectoryEntry& entry = parent.entries[parent.next++];
            renamed += rename_if_broken(*join_path(entry.directory, entry.name));
            continue;
        }
        const DirectoryEntry& entry = level.entries[level.next];
        const auto path = join_path(entry.directory, entry.name);
        if (!path) {  // too long to name whole: neither renamed nor descended into
            ++level.next;
            continue;
        }
        if (recursive != 0 && entry.is_directory != 0 && entry.is_link == 0) {
            if (auto below = collect(*path)) {
                levels.push_back(std::move(*below));  // `level` and `entry` are stale now
                continue;
            }
        }
        renamed += rename_if_broken(*path);
        ++level.next;
    }
    return renamed;
}

}  // namespace tavrik
