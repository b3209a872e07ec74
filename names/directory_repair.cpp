#include "names/directory_repair.hpp"

#include <new>
#include <optional>

#include "names/name_repair.hpp"
#include "names/tree_walk.hpp"

namespace tavrik {

namespace {

// Renames the entry `name` of the walk's deepest directory, found at `path`, when its name is
// broken (repair_broken_name): relative to the held directory, never replacing anything.
int rename_in_place(TreeWalk& walk, const std::u16string& path, const std::u16string& name) {
    std::u16string repaired;
    if (!repair_broken_name(path, repaired)) return 0;
    const std::u16string target = with_name(path, repaired);
    // Never rename under a path cut to fit.
    if (path.size() > platform::MAX_PATH_UNITS || target.size() > platform::MAX_PATH_UNITS ||
        target == path)
        return 0;
    const platform::Directory* here = walk.directory(walk.depth() - 1);
    return here && here->rename(name, repaired) ? 1 : 0;
}

// Adds each rename to `renamed` as it is made, so that the count survives an exception.
void repair_tree(std::u16string_view directory, bool recursive, int& renamed) {
    TreeWalk walk;
    if (!walk.enter(platform::Directory::open(directory), std::u16string(directory),
                    std::u16string(directory))) {
        return;
    }
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
            const std::u16string name = entry.name;
            platform::Directory below = walk.open_subdirectory(name);
            // Entering moves the levels, even when it fails: `level` and `entry` are stale
            // after it.
            if (below.is_open() && walk.enter(std::move(below), name, *path)) continue;
            renamed += rename_in_place(walk, *path, name);
            ++walk.top().next;
            continue;
        }
        renamed += rename_in_place(walk, *path, entry.name);
        ++level.next;
    }
}

}  // namespace

int repair_names_in_directory(std::u16string_view directory, int recursive) {
    int renamed = 0;
    try {
        repair_tree(directory, recursive != 0, renamed);
    } catch (const std::bad_alloc&) {
        // The walk ends here: what was renamed stays renamed and is counted.
    }
    return renamed;
}

}  // namespace tavrik
