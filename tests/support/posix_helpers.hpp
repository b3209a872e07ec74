// What some tests need of POSIX beyond std::filesystem: pipes in the file system, the umask,
// child processes, the file size limit. Linux only.
#pragma once

#include <functional>
#include <string>

namespace tavrik::test {

// Makes a named pipe (FIFO) at `path`; true on success.
bool make_fifo(const std::u16string& path);

// Sets the umask while it lives.
class ScopedUmask {
  public:
    explicit ScopedUmask(unsigned mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

  private:
    unsigned saved_;
};

// How a child process ended.
struct ChildEnd {
    bool exited = false;  // with `code`; otherwise stopped by `signal`
    int code = -1;
    int signal = 0;
};

// Runs `child` in a forked process, which exits with what it returns; waits for it.
ChildEnd run_in_child(const std::function<int()>& child);

// For the calling (child) process: files may grow to `bytes` at most.
void limit_file_size(unsigned long bytes);

// For the calling (child) process: a write past the file size limit raises `stopping` instead.
void raise_at_file_size_limit(int stopping);

}  // namespace tavrik::test
