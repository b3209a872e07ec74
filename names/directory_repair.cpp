#include "names/directory_repair.hpp"

#include <new>
#include <optional>

#include "names/name_repair.hpp"
#include "names/tree_walk.hpp"

namespace tavrik {

namespace {

// Renames the entry `name` of the walk's deepest directory, found at `path`, when its name is
// broken: relative to the held directory, never replacing anything.
int rename_in_place(TreeWalk& walk, const std::u16string& path, const std::u16string& name) {
    std::u16string repaired;
    if (!repair_name(path, repaired)) return 0;
    const std::u16string target = with_name(path, repaired);
    // Never rename under a path cut to fit.
    if (path.size() > platform::MAX_PATH_UNITS || target.size() > platform::MAX_PATH_UNITS || target == path) return 0;
    const platform::Directory* here = walk.directory(walk.depth() - 1);
    return here && here->rename(name, repaired) ? 1 : 0;
}

int repair_tree(std::u16string_view directory, bool recursive) {
    TreeWalk walk;
    if (!walk.enter(platform::Directory::open(directory), std::u16string(directory),
                    std::u16string(directory))) {
        return 0;
    }
    int renamed = 0;
    while (!walk.empty()) {
        TreeWalk::Level& level = walk.top();
        if (level.next == level.entries.size()) {
            const std::u16string path = std::move(level.path);
            const std::u16string name = std::move(level.name);
            walk.leave();  // closed before it is renamed
            if (walk.empty()) break;
            // The subdirectory is done: now the directory itself may be renamed.
            ++walk.top().next;
            renamed += rename_in_place(walk, path, name);
            continue;
        }
        const DirectoryEntry& entry = level.entries[level.next];
        const auto path = join_path(level.path, entry.name);
        if (!path) {  // too long to name whole: neither renamed nor descended into
            ++level.next;
            continue;
        }
        if (recursive && entry.is_directory && !entry.is_link) {
            platform::Directory below = walk.open_subdirectory(entry.name);
            if (below.is_open() && walk.enter(std::move(below), entry.name, *path)) {
                continue;  // `level` and `entry` are stale now
            }
        }
        renamed += rename_in_place(walk, *path, entry.name);
        ++level.next;
    }
    return renamed;
}

}  // namespace

int repair_names_in_directory(std::u16string_view directory, int recursive) {
    try {
        return repair_tree(directory, recursive != 0);
    } catch (const std::bad_alloc&) {
        return 0;  // what was renamed stays renamed; nothing is renamed under a missing path
    }
}

}  // namespace tavrik
