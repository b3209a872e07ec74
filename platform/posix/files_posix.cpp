#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "encoding/utf8.hpp"
#include "platform/files.hpp"
#include "platform/posix/native_path.hpp"

namespace tavrik::platform {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting whether the close (and so the write before it) succeeded.
    bool close_checked() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

// Reads until `size` bytes or the end; false on an error.
bool read_fully(int fd, char* data, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n = read(fd, data + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool write_fully(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit) {
    FileDescriptor file(open(posix::native_path(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return std::nullopt;
    struct stat status {};
    if (fstat(file.get(), &status) != 0 || S_ISDIR(status.st_mode)) return std::nullopt;
    FilePrefix prefix;
    prefix.bytes.resize(limit + 1);  // one more, to learn whether the file goes on
    std::size_t got = 0;
    if (!read_fully(file.get(), prefix.bytes.data(), limit + 1, got)) return std::nullopt;
    prefix.truncated = got > limit;
    prefix.bytes.resize(std::min(got, limit));
    return prefix;
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes) {
    const std::string target = posix::native_path(path);
    std::string temporary = target + ".tavrik-XXXXXX";
    FileDescriptor file(mkstemp(temporary.data()));
    if (file.get() < 0) return false;
    const bool written = write_fully(file.get(), bytes) && fsync(file.get()) == 0;
    // Keep the permissions an existing file had; a new one gets the usual ones.
    struct stat existing {};
    const mode_t mode = stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
    const bool closed = fchmod(file.get(), mode) == 0 && file.close_checked();
    if (!written || !closed || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tavrik::platform
