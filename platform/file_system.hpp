// Directories and renames, with paths and names in UTF-16 on every platform.
//
// A walk holds the directories it is in open and names everything below them relative to those
// handles, never through a link, so that nothing outside the tree it was given can be listed or
// renamed, however the tree is changed meanwhile.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik::platform {

// The separator of path components: the backslash on Windows, the slash elsewhere. On Windows a
// slash is an ordinary character of a name as far as this program is concerned.
#ifdef _WIN32
inline constexpr char16_t PATH_SEPARATOR = u'\\';
// Whether names are bytes, so that a name may hold bytes that are not UTF-8
// (encoding/raw_names.hpp).
inline constexpr bool NAMES_ARE_BYTES = false;
inline constexpr std::u16string_view CURRENT_DIRECTORY_PREFIX = u".\\";
// Handles are plentiful, and a directory held open cannot be renamed or removed meanwhile.
inline constexpr std::size_t HELD_DIRECTORY_LIMIT = std::numeric_limits<std::size_t>::max();
#else
inline constexpr char16_t PATH_SEPARATOR = u'/';
inline constexpr bool NAMES_ARE_BYTES = true;
inline constexpr std::u16string_view CURRENT_DIRECTORY_PREFIX = u"./";
// Descriptors are few (often 1024 a process): a deeper walk closes the directories it is not in
// and opens them again, checked, when it comes back.
inline constexpr std::size_t HELD_DIRECTORY_LIMIT = 64;
#endif

// What identifies a directory however it is reached: its volume (device) and its number there.
struct DirectoryIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend auto operator<=>(const DirectoryIdentity&, const DirectoryIdentity&) = default;
};

// The identity a query gave, when it can tell directories apart: the query succeeded and the
// number is neither 0 nor all ones (some network file systems give 0 for every file).
inline std::optional<DirectoryIdentity> trusted_identity(bool known, std::uint64_t volume,
                                                         std::uint64_t index) {
    if (!known || index == 0 || index == std::numeric_limits<std::uint64_t>::max()) {
        return std::nullopt;
    }
    return DirectoryIdentity{volume, index};
}

// Windows reparse points: only a name surrogate (a symbolic link, a junction, a mount point)
// stands for another entry. Every other tag (cloud files, deduplication, compression) marks an
// ordinary file or directory.
constexpr bool is_name_surrogate(std::uint32_t reparse_tag) {
    return (reparse_tag & 0x20000000u) != 0;
}

// One entry of a directory.
struct DirectoryEntry {
    std::u16string name;
    bool is_directory = false;
    // A symbolic link, junction or mount point: never descended into, whatever it points at, so
    // that a walk stays inside its tree and ends on any tree.
    bool is_link = false;
};

class DirectoryListing;

// A directory held open.
class Directory {
  public:
    Directory();
    ~Directory();
    Directory(Directory&&) noexcept;
    Directory& operator=(Directory&&) noexcept;

    // The directory at `path` as the system resolves it (a link that the path names is
    // followed: it is what the caller asked for). Not open when there is none or it cannot be
    // read.
    static Directory open(std::u16string_view path);

    // The subdirectory `name` of this one; not open when it is a link, not a directory, gone,
    // or cannot be read.
    Directory open_subdirectory(std::u16string_view name) const;

    bool is_open() const;
    // Nothing when it cannot be had or cannot be trusted (see trusted_identity).
    std::optional<DirectoryIdentity> identity() const;

    // Renames the entry `from` of this directory to `to` in this same directory. Never replaces
    // an existing entry: fails instead, and also when `from` no longer exists or the file system
    // refuses the new name.
    bool rename(std::u16string_view from, std::u16string_view to) const;

  private:
    friend class DirectoryListing;
    // Windows: the held directory is still no link and its path still leads to it.
    bool still_where_it_was() const;
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// The entries of one directory in the file system's order, "." and ".." included. Where names
// are bytes (POSIX), an entry whose name is not valid UTF-8 cannot be represented and is not
// listed at all: it is left alone rather than mangled.
class DirectoryListing {
  public:
    explicit DirectoryListing(const Directory& directory);
    ~DirectoryListing();
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    bool is_open() const;
    // The next entry; false at the end, and when reading fails (see failed).
    bool next(DirectoryEntry& entry);
    // True when the listing could not be opened or could not be read to its end.
    bool failed() const;

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// Renames a file or directory given by its path. Never replaces an existing entry: fails
// instead, and also when `from` no longer exists or the file system refuses the new name.
bool rename_no_replace(std::u16string_view from, std::u16string_view to);

}  // namespace tavrik::platform
