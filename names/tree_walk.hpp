// A walk down one directory tree by held directories: each level below the start is opened
// relative to the one above it and never through a link, and its identity is kept, so that a
// directory closed to spare descriptors is opened again only if it is still the one walked.
// Whatever is done to the tree meanwhile (a directory swapped for a link to elsewhere), nothing
// outside it is listed or renamed.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.hpp"

namespace tavrik {

class TreeWalk {
  public:
    static constexpr std::size_t NOT_RECORDED = std::numeric_limits<std::size_t>::max();

    struct Level {
        std::u16string path;  // as shown: the start, then a separator and a name per level
        std::u16string name;  // its name in the level above; the path itself at the start
        std::optional<platform::DirectoryIdentity> identity;  // when it can be trusted
        platform::Directory directory;  // may be closed while the walk is far below it
        std::vector<platform::DirectoryEntry> entries;  // "." and ".." left out
        std::size_t next = 0;                           // the next entry to take
        bool incomplete = false;                        // the listing could not be read to its end
        std::size_t record = NOT_RECORDED;              // where a list of found names keeps it
    };

    bool empty() const { return levels_.empty(); }
    std::size_t depth() const { return levels_.size(); }
    Level& top() { return levels_.back(); }
    Level& level(std::size_t index) { return levels_[index]; }

    // Makes `directory` the deepest level, without listing it. The first level is where the
    // walk starts (`name` is then its path); each further one must be a subdirectory of the
    // level above, named `name`. False when memory runs out (nothing changes then).
    bool push(platform::Directory directory, std::u16string name, std::u16string path);
    // Lists the deepest level into its entries. False when it cannot be listed at all (or
    // memory runs out); a listing that breaks off keeps what it read and marks the level
    // incomplete.
    bool list_top();
    // push, then list_top; on failure the walk is as before.
    bool enter(platform::Directory directory, std::u16string name, std::u16string path);
    void leave();

    // The directory of level `index`, opened again when it was closed, below the nearest level
    // still held, by name and without following links, and only when it is still the directory
    // walked. Nothing when it cannot be had so.
    const platform::Directory* directory(std::size_t index);
    // The subdirectory `name` of the deepest level; not open when it cannot be had.
    platform::Directory open_subdirectory(std::u16string_view name);

  private:
    void close_far_levels(std::size_t deepest);
    std::vector<Level> levels_;
};

// For tests: while it lives, `hook` is called with a directory's path each time its entries
// have been listed, before any of them is renamed or entered.
class WalkListingHook {
  public:
    explicit WalkListingHook(std::function<void(std::u16string_view path)> hook);
    ~WalkListingHook();
    WalkListingHook(const WalkListingHook&) = delete;
    WalkListingHook& operator=(const WalkListingHook&) = delete;

  private:
    std::function<void(std::u16string_view)> previous_;
};

}  // namespace tavrik
