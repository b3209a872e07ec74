// Directories and renames, with paths and names in UTF-16 on every platform.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tavrik::platform {

// The separator of path components: the backslash on Windows, the slash elsewhere. On Windows a
// slash is an ordinary character of a name as far as this program is concerned.
#ifdef _WIN32
inline constexpr char16_t PATH_SEPARATOR = u'\\';
inline constexpr std::u16string_view CURRENT_DIRECTORY_PREFIX = u".\\";
#else
inline constexpr char16_t PATH_SEPARATOR = u'/';
inline constexpr std::u16string_view CURRENT_DIRECTORY_PREFIX = u"./";
#endif

struct ListedEntry {
    std::u16string name;
    bool is_directory = false;
    // A symbolic link, junction or other reparse point: never descended into, whatever it
    // points at, so that a walk stays inside its tree and ends on any tree.
    bool is_link = false;
};

// The entries of one directory in the file system's order, "." and ".." included. Where names
// are bytes (POSIX), an entry whose name is not valid UTF-8 cannot be represented and is not
// listed at all: it is left alone rather than mangled.
class DirectoryListing {
  public:
    explicit DirectoryListing(std::u16string_view directory);
    ~DirectoryListing();
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    bool is_open() const;
    // The next entry; false at the end.
    bool next(ListedEntry& entry);

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// Renames a file or directory. Never replaces an existing entry: fails instead, and also when
// `from` no longer exists or the file system refuses the new name.
bool rename_no_replace(std::u16string_view from, std::u16string_view to);

}  // namespace tavrik::platform
