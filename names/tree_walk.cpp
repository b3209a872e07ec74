#include "names/tree_walk.hpp"

#include <new>
#include <utility>

namespace tavrik {

namespace {

std::function<void(std::u16string_view)>& listing_hook() {
    static std::function<void(std::u16string_view)> hook;
    return hook;
}

}  // namespace

WalkListingHook::WalkListingHook(std::function<void(std::u16string_view path)> hook)
    : previous_(std::exchange(listing_hook(), std::move(hook))) {}

WalkListingHook::~WalkListingHook() {
    listing_hook() = std::move(previous_);
}

bool TreeWalk::push(platform::Directory directory, std::u16string name, std::u16string path) try {
    Level level;
    level.identity = directory.identity();
    level.directory = std::move(directory);
    level.name = std::move(name);
    level.path = std::move(path);
    levels_.push_back(std::move(level));
    close_far_levels(levels_.size() - 1);
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

bool TreeWalk::list_top() try {
    Level& level = levels_.back();
    const platform::Directory* held = directory(levels_.size() - 1);
    if (held == nullptr) return false;
    platform::DirectoryListing listing(*held);
    if (!listing.is_open()) return false;
    std::vector<platform::DirectoryEntry> entries;
    platform::DirectoryEntry entry;
    while (listing.next(entry)) {
        if (entry.name == u"." || entry.name == u"..") continue;
        if (entries.size() == entries.capacity()) {
            entries.reserve(entries.empty() ? 256 : 2 * entries.capacity());
        }
        entries.push_back(std::move(entry));  // the next entry is read into it afresh
    }
    level.entries = std::move(entries);
    level.next = 0;
    level.incomplete = listing.failed();
    if (listing_hook()) listing_hook()(level.path);
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

bool TreeWalk::enter(platform::Directory directory, std::u16string name, std::u16string path) {
    if (!push(std::move(directory), std::move(name), std::move(path))) return false;
    if (list_top()) return true;
    leave();
    return false;
}

void TreeWalk::leave() {
    levels_.pop_back();
}

const platform::Directory* TreeWalk::directory(std::size_t index) {
    if (index >= levels_.size()) return nullptr;
    if (levels_[index].directory.is_open()) return &levels_[index].directory;
    std::size_t held = index;
    while (held > 0 && !levels_[held].directory.is_open())
        --held;
    if (!levels_[held].directory.is_open()) return nullptr;  // the start is never closed
    for (std::size_t k = held + 1; k <= index; ++k) {
        platform::Directory reopened = levels_[k - 1].directory.open_subdirectory(levels_[k].name);
        // A directory whose identity could not be trusted is taken on its name alone, still
        // never through a link.
        if (!reopened.is_open() ||
            (levels_[k].identity && reopened.identity() != levels_[k].identity)) {
            return nullptr;
        }
        levels_[k].directory = std::move(reopened);
        close_far_levels(k);
    }
    return &levels_[index].directory;
}

platform::Directory TreeWalk::open_subdirectory(std::u16string_view name) {
    const platform::Directory* here = directory(levels_.size() - 1);
    return here ? here->open_subdirectory(name) : platform::Directory{};
}

void TreeWalk::close_far_levels(std::size_t deepest) {
    // The start stays held: every other level can be opened again from it.
    if (deepest > platform::HELD_DIRECTORY_LIMIT) {
        levels_[deepest - platform::HELD_DIRECTORY_LIMIT].directory = platform::Directory{};
    }
}

}  // namespace tavrik
