// Directories and renames on POSIX systems. Names are bytes here; the program sees them as UTF-16
// decoded from UTF-8, each byte that is not UTF-8 kept as a unit of its own
// (encoding/raw_names.hpp), so a name that is not UTF-8 is walked and renamed too. Everything below
// a held directory is reached relative to its descriptor and never through a symbolic link, so no
// path length limit applies to a walk and no link can lead it elsewhere.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "encoding/raw_names.hpp"
#include "platform/file_system.hpp"
#include "platform/posix/native_path.hpp"

namespace tavrik::platform {

namespace {

// A descriptor, closed when it goes.
class Descriptor {
  public:
    explicit Descriptor(int descriptor = -1) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }
    int release() {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        return descriptor;
    }

  private:
    int descriptor_;
};

constexpr int DIRECTORY_FLAGS = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Renames `from` to `to`, both relative to the same directory, without ever replacing `to`.
bool rename_at_no_replace(int directory, const std::string& from, const std::string& to) {
    if (renameat2(directory, from.c_str(), directory, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    // The file system cannot rename without replacing. A file can still be moved safely: a new
    // link fails if the name is taken. A directory cannot: it is not renamed.
    struct stat status {};
    if (fstatat(directory, from.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISDIR(status.st_mode)) {
        return false;
    }
    if (linkat(directory, from.c_str(), directory, to.c_str(), 0) != 0) return false;
    if (unlinkat(directory, from.c_str(), 0) != 0) {
        unlinkat(directory, to.c_str(), 0);  // keep the entry under its old name only
        return false;
    }
    return true;
}

// A name of this directory as the system takes it: one component, never a path.
bool native_name(std::u16string_view name, std::string& bytes) {
    bytes = posix::native_path(name);
    return !bytes.empty() && bytes.find('/') == std::string::npos && bytes != "." && bytes != "..";
}

}  // namespace

struct Directory::Handle {
    explicit Handle(int owned) : descriptor(owned) {}
    Descriptor descriptor;
};

Directory::Directory() = default;
Directory::~Directory() = default;
Directory::Directory(Directory&&) noexcept = default;
Directory& Directory::operator=(Directory&&) noexcept = default;

Directory Directory::open(std::u16string_view path) {
    Directory directory;
    const std::string native = posix::native_path(path);
    Descriptor descriptor(::open(native.c_str(), DIRECTORY_FLAGS));
    if (descriptor.get() < 0) return directory;
    directory.handle_ = std::make_unique<Handle>(descriptor.release());
    return directory;
}

Directory Directory::open_subdirectory(std::u16string_view name) const {
    Directory directory;
    std::string native;
    if (!is_open() || !native_name(name, native)) return directory;
    Descriptor descriptor(
        openat(handle_->descriptor.get(), native.c_str(), DIRECTORY_FLAGS | O_NOFOLLOW));
    if (descriptor.get() < 0) return directory;
    directory.handle_ = std::make_unique<Handle>(descriptor.release());
    return directory;
}

bool Directory::is_open() const {
    return handle_ != nullptr && handle_->descriptor.get() >= 0;
}

std::optional<DirectoryIdentity> Directory::identity() const {
    struct stat status {};
    const bool known = is_open() && fstat(handle_->descriptor.get(), &status) == 0;
    return trusted_identity(known, static_cast<std::uint64_t>(status.st_dev),
                            static_cast<std::uint64_t>(status.st_ino));
}

bool Directory::rename(std::u16string_view from, std::u16string_view to) const {
    std::string source, target;
    if (!is_open() || !native_name(from, source) || !native_name(to, target)) return false;
    return rename_at_no_replace(handle_->descriptor.get(), source, target);
}

struct DirectoryListing::Handle {
    DIR* directory = nullptr;
    bool failed = false;
    ~Handle() {
        if (directory) closedir(directory);
    }
};

DirectoryListing::DirectoryListing(const Directory& directory)
    : handle_(std::make_unique<Handle>()) {
    if (!directory.is_open()) {
        handle_->failed = true;
        return;
    }
    // A descriptor of its own, so that reading moves no position the directory's holder sees.
    Descriptor own(openat(directory.handle_->descriptor.get(), ".", DIRECTORY_FLAGS));
    if (own.get() >= 0) handle_->directory = fdopendir(own.get());
    if (handle_->directory)
        own.release();
    else
        handle_->failed = true;
}

DirectoryListing::~DirectoryListing() = default;

bool DirectoryListing::is_open() const {
    return handle_->directory != nullptr;
}

bool DirectoryListing::failed() const {
    return handle_->failed;
}

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (!handle_->directory) return false;
    for (;;) {
        errno = 0;
        const dirent* found = readdir(handle_->directory);
        if (!found) {
            if (errno != 0) handle_->failed = true;
            return false;
        }
        const std::string_view name = found->d_name;
        entry.name = encoding::decode_keeping_bytes(name);
        // The type of the entry itself, links not followed.
        if (found->d_type != DT_UNKNOWN) {
            entry.is_directory = found->d_type == DT_DIR;
            entry.is_link = found->d_type == DT_LNK;
            return true;
        }
        struct stat status {};
        if (fstatat(dirfd(handle_->directory), found->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            entry.is_directory = false;
            entry.is_link = false;
        } else {
            entry.is_directory = S_ISDIR(status.st_mode);
            entry.is_link = S_ISLNK(status.st_mode);
        }
        return true;
    }
}

bool rename_no_replace(std::u16string_view from, std::u16string_view to) {
    return rename_at_no_replace(AT_FDCWD, posix::native_path(from), posix::native_path(to));
}

}  // namespace tavrik::platform
