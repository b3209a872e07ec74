// Files on POSIX systems: regular files read whole or a piece at a time, and files replaced
// through a temporary file beside them that no failure and no stopping signal leaves behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
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
    // No longer ours to close.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now, reporting whether the close (and so the write before it) succeeded.
    bool close_checked() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

std::string system_failure(int error) {
    return std::strerror(error);
}

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
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<FilePrefix> read_prefix(int fd, std::size_t limit, std::string& failure) {
    FilePrefix prefix;
    prefix.bytes.resize(limit + 1);  // one more, to learn whether the file goes on
    std::size_t got = 0;
    if (!read_fully(fd, prefix.bytes.data(), limit + 1, got)) {
        failure = system_failure(errno);
        return std::nullopt;
    }
    prefix.truncated = got > limit;
    prefix.bytes.resize(std::min(got, limit));
    return prefix;
}

// The temporary file a write_file_replacing has made and not yet put in place or removed, for
// the signal handler; its path is only changed while those signals are blocked.
constexpr std::size_t TEMPORARY_PATH_SIZE = 4096;
std::array<char, TEMPORARY_PATH_SIZE> temporary_path{};
volatile sig_atomic_t temporary_path_set = 0;

// The signals that end the program by default and may come at any moment, from outside or from
// a timer or limit: each must first remove the temporary file. The faults the program itself
// causes (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS) are left to the system and
// the sanitizers; SIGXFSZ is ignored instead (see remove_temporary_files_when_stopped).
constexpr int NAMED_STOPPING_SIGNALS[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGPIPE,   SIGALRM, SIGTERM,
    SIGUSR1,   SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF,
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGLOST
    SIGLOST,
#endif
#ifdef SIGEMT
    SIGEMT,
#endif
};

sigset_t stopping_signals() {
    sigset_t stopping;
    sigemptyset(&stopping);
    for (const int signal : NAMED_STOPPING_SIGNALS)
        sigaddset(&stopping, signal);
#if defined(SIGRTMIN) && defined(SIGRTMAX)
    // The real-time signals all end the program by default; the C library keeps a few below
    // SIGRTMIN for itself.
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        sigaddset(&stopping, signal);
#endif
    return stopping;
}

// Blocks the stopping signals while it lives, so that the handler never sees a half-changed
// record.
class StoppingSignalsBlocked {
  public:
    StoppingSignalsBlocked() {
        const sigset_t stopping = stopping_signals();
        pthread_sigmask(SIG_BLOCK, &stopping, &saved_);
    }
    ~StoppingSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    StoppingSignalsBlocked(const StoppingSignalsBlocked&) = delete;
    StoppingSignalsBlocked& operator=(const StoppingSignalsBlocked&) = delete;

  private:
    sigset_t saved_;
};

extern "C" void remove_temporary_and_stop(int signal) {
    const int saved_errno = errno;
    if (temporary_path_set != 0) unlink(temporary_path.data());
    // The handler was reset to the default on entry: the signal, raised again, now stops the
    // program as it would have, once this handler returns.
    raise(signal);
    errno = saved_errno;
}

// A new file with a short name of its own in the folder of `target`, made only for us
// (O_EXCL). Removed when it is not put in place.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& target) {
        const std::size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
        static constexpr char LETTERS[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::uint64_t seed = static_cast<std::uint64_t>(now.tv_nsec) ^
                             (static_cast<std::uint64_t>(now.tv_sec) << 20) ^
                             (static_cast<std::uint64_t>(getpid()) << 40);
        for (int attempt = 0; attempt < 100; ++attempt) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            std::string name = ".tavrik-";
            std::uint64_t bits = seed >> 16;
            for (int k = 0; k < 6; ++k, bits /= 62)
                name += LETTERS[bits % 62];
            path_ = folder + name;
            const StoppingSignalsBlocked blocked;
            // Readable by others only if the new file would be: the kernel applies the umask
            // here; the data is written only after the mode is narrowed (see new_file_mode).
            fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd_ >= 0) {
                record();
                return;
            }
            if (errno != EEXIST) break;
        }
        error_ = errno;
        path_.clear();
    }
    ~TemporaryFile() {
        if (fd_ >= 0) close(fd_);
        if (!path_.empty()) {
            const StoppingSignalsBlocked blocked;
            unlink(path_.c_str());
            temporary_path_set = 0;
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    int error() const { return error_; }
    bool close_checked() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }
    // Moves the file to `target` (replacing what is there); it is then no longer ours to remove.
    bool put_in_place(const std::string& target) {
        const StoppingSignalsBlocked blocked;
        if (rename(path_.c_str(), target.c_str()) != 0) return false;
        path_.clear();
        temporary_path_set = 0;
        return true;
    }

  private:
    void record() {
        if (path_.size() >= temporary_path.size()) return;  // too long to be opened anyway
        std::memcpy(temporary_path.data(), path_.c_str(), path_.size() + 1);
        temporary_path_set = 1;
    }

    std::string path_;
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace

namespace {

// An open descriptor of the existing regular file at `path`, or -1 with `failure` saying why.
int open_regular_file(std::u16string_view path, std::string& failure) {
    // Without blocking: opening a pipe with no writer, or a device, would otherwise wait.
    FileDescriptor file(
        open(posix::native_path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        failure = system_failure(errno);
        return -1;
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0) {
        failure = system_failure(errno);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        failure = S_ISDIR(status.st_mode) ? system_failure(EISDIR) : "not a regular file";
        return -1;
    }
    const int flags = fcntl(file.get(), F_GETFL);
    if (flags < 0 || fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        failure = system_failure(errno);
        return -1;
    }
    return file.release();
}

// Standard input when it can be read: not closed, not a folder.
bool standard_input_readable(std::string& failure) {
    struct stat status {};
    if (fstat(STDIN_FILENO, &status) != 0) {
        failure = errno == EBADF ? "it is closed" : system_failure(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        failure = system_failure(EISDIR);
        return false;
    }
    return true;
}

}  // namespace

std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit,
                                           std::string& failure) {
    FileDescriptor file(open_regular_file(path, failure));
    if (file.get() < 0) return std::nullopt;
    return read_prefix(file.get(), limit, failure);
}

std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit) {
    std::string failure;
    return read_file_prefix(path, limit, failure);
}

std::optional<FilePrefix> read_standard_input_prefix(std::size_t limit, std::string& failure) {
    if (!standard_input_readable(failure)) return std::nullopt;
    return read_prefix(STDIN_FILENO, limit, failure);
}

struct ByteReader::Handle {
    int fd = -1;
    bool owned = false;
    ~Handle() {
        if (owned && fd >= 0) close(fd);
    }
};

ByteReader::ByteReader() = default;
ByteReader::~ByteReader() = default;

bool ByteReader::open_file(std::u16string_view path, std::string& failure) {
    handle_.reset();
    const int fd = open_regular_file(path, failure);
    if (fd < 0) return false;
    handle_ = std::make_unique<Handle>();
    handle_->fd = fd;
    handle_->owned = true;
    return true;
}

bool ByteReader::open_standard_input(std::string& failure) {
    handle_.reset();
    if (!standard_input_readable(failure)) return false;
    handle_ = std::make_unique<Handle>();
    handle_->fd = STDIN_FILENO;
    return true;
}

std::optional<std::size_t> ByteReader::read(char* buffer, std::size_t capacity,
                                            std::string& failure) {
    if (!handle_) {
        failure = system_failure(EBADF);
        return std::nullopt;
    }
    for (;;) {
        const ssize_t n = ::read(handle_->fd, buffer, capacity);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        failure = system_failure(errno);
        return std::nullopt;
    }
}

struct ReplacingWriter::Handle {
    std::string target;
    std::unique_ptr<TemporaryFile> file;  // removed with it unless put in place
    mode_t created_mode = 0;
};

ReplacingWriter::ReplacingWriter() = default;
ReplacingWriter::~ReplacingWriter() = default;

bool ReplacingWriter::begin(std::u16string_view path, std::string& failure) {
    handle_.reset();
    auto handle = std::make_unique<Handle>();
    handle->target = posix::native_path(path);
    handle->file = std::make_unique<TemporaryFile>(handle->target);
    if (handle->file->fd() < 0) {
        failure = system_failure(handle->file->error());
        return false;
    }
    // The mode a new file gets (the umask applied), narrowed to ours alone while it is written.
    struct stat created {};
    if (fstat(handle->file->fd(), &created) != 0 || fchmod(handle->file->fd(), 0600) != 0) {
        failure = system_failure(errno);
        return false;
    }
    handle->created_mode = created.st_mode;
    handle_ = std::move(handle);
    return true;
}

bool ReplacingWriter::write(std::string_view bytes, std::string& failure) {
    if (!handle_) {
        failure = system_failure(EBADF);
        return false;
    }
    if (!write_fully(handle_->file->fd(), bytes)) {
        failure = system_failure(errno);
        handle_.reset();  // the temporary file goes now
        return false;
    }
    return true;
}

bool ReplacingWriter::commit(std::string& failure) {
    if (!handle_) {
        failure = system_failure(EBADF);
        return false;
    }
    TemporaryFile& file = *handle_->file;
    // A regular file in place keeps its permissions; a symbolic link is not followed for them.
    struct stat existing {};
    const bool replaces_a_file =
        lstat(handle_->target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    const mode_t mode = (replaces_a_file ? existing.st_mode : handle_->created_mode) & 07777;
    const bool done = fsync(file.fd()) == 0 && fchmod(file.fd(), mode) == 0 &&
                      file.close_checked() && file.put_in_place(handle_->target);
    if (!done) failure = system_failure(errno);
    handle_.reset();
    return done;
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes, std::string& failure) {
    ReplacingWriter writer;
    return writer.begin(path, failure) && writer.write(bytes, failure) && writer.commit(failure);
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes) {
    std::string failure;
    return write_file_replacing(path, bytes, failure);
}

void remove_temporary_files_when_stopped() {
    struct sigaction action {};
    action.sa_handler = remove_temporary_and_stop;
    action.sa_flags = SA_RESETHAND;
    action.sa_mask = stopping_signals();
    for (int signal = 1; signal < NSIG; ++signal) {
        if (sigismember(&action.sa_mask, signal) != 1) continue;
        struct sigaction current {};
        // Only a signal left at its default: one ignored when the program started (nohup, a
        // background job) stays ignored, and one a runtime already handles (a profiler's
        // SIGPROF) stays with it.
        if (sigaction(signal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != SIG_DFL) {
            continue;
        }
        sigaction(signal, &action, nullptr);
    }
    // Past the file size limit a write fails with EFBIG, and is reported, rather than stopping.
    signal(SIGXFSZ, SIG_IGN);
    // At the hard CPU time limit the system kills with SIGKILL, which no handler sees, and
    // `ulimit -t` sets both limits alike: so SIGXCPU is asked for a second earlier. (Not below a
    // second: a limit of 0 would stop the program before it has begun.)
    rlimit cpu{};
    if (getrlimit(RLIMIT_CPU, &cpu) == 0 && cpu.rlim_max != RLIM_INFINITY &&
        cpu.rlim_cur == cpu.rlim_max && cpu.rlim_max >= 2) {
        cpu.rlim_cur = cpu.rlim_max - 1;
        setrlimit(RLIMIT_CPU, &cpu);
    }
}

}  // namespace tavrik::platform
