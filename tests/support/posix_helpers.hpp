// What some tests need of POSIX beyond std::filesystem: pipes in the file system, the umask,
// child processes, signals, the file size limit. Linux only.
#pragma once

#include <functional>
#include <string>
#include <vector>

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

// Runs `until_ready` in a forked process that has every signal at its default and none
// blocked, then sends it `signal` from here and waits for its end.
ChildEnd signal_child_when_ready(const std::function<void()>& until_ready, int signal);

// Every signal (real-time ones included) that ends a process whose disposition is the default,
// as found by raising each in a child; stop signals and those that do nothing are left out.
std::vector<int> signals_that_end_by_default();

// For the calling (child) process: CPU time ends after `seconds`, both limits set alike as
// `ulimit -t` sets them; no core file is written when it is reached.
void limit_cpu_time(unsigned long seconds);

// For the calling (child) process: files may grow to `bytes` at most.
void limit_file_size(unsigned long bytes);

}  // namespace tavrik::test
