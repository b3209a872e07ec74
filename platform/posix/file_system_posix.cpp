// Directories and renames on POSIX systems. Names are bytes here; the program sees them as UTF-16
// decoded from UTF-8, and a name that is not UTF-8 is never touched.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "encoding/utf8.hpp"
#include "platform/file_system.hpp"
#include "platform/posix/native_path.hpp"

namespace tavrik::platform {


struct DirectoryListing::Handle {
    DIR* directory = nullptr;
    std::string path;
    ~Handle() {
        if (directory) closedir(directory);
    }
};

DirectoryListing::DirectoryListing(std::u16string_view directory)
    : handle_(std::make_unique<Handle>()) {
    handle_->path = posix::native_path(directory);
    handle_->directory = opendir(handle_->path.c_str());
}

DirectoryListing::~DirectoryListing() = default;

bool DirectoryListing::is_open() const {
    return handle_->directory != nullptr;
}

bool DirectoryListing::next(ListedEntry& entry) {
    if (!handle_->directory) return false;
    while (const dirent* found = readdir(handle_->directory)) {
        const std::string_view name = found->d_name;
        if (!encoding::utf8::decode_strict(name, entry.name)) continue;  // not representable: left alone
        // The type of the entry itself, links not followed.
        struct stat status {};
        const std::string full = handle_->path + "/" + std::string(name);
        if (lstat(full.c_str(), &status) != 0) {
            entry.is_directory = found->d_type == DT_DIR;
            entry.is_link = found->d_type == DT_LNK;
        } else {
            entry.is_directory = S_ISDIR(status.st_mode);
            entry.is_link = S_ISLNK(status.st_mode);
        }
        return true;
    }
    return false;
}

bool rename_no_replace(std::u16string_view from, std::u16string_view to) {
    const std::string source = posix::native_path(from);
    const std::string target = posix::native_path(to);
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    // The file system cannot rename without replacing. A file can still be moved safely: a new
    // link fails if the name is taken. A directory cannot: it is not renamed.
    struct stat status {};
    if (lstat(source.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
    if (link(source.c_str(), target.c_str()) != 0) return false;
    if (unlink(source.c_str()) != 0) {
        unlink(target.c_str());  // keep the entry under its old name only
        return false;
    }
    return true;
}

}  // namespace tavrik::platform
