#include "tests/support/posix_helpers.hpp"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace tavrik::test {

namespace {

volatile sig_atomic_t signal_to_raise = 0;

extern "C" void raise_the_chosen_signal(int) {
    raise(signal_to_raise);
}

}  // namespace

bool make_fifo(const std::u16string& path) {
    return mkfifo(std::filesystem::path(path).c_str(), 0600) == 0;
}

ScopedUmask::ScopedUmask(unsigned mask) : saved_(umask(static_cast<mode_t>(mask))) {}
ScopedUmask::~ScopedUmask() {
    umask(static_cast<mode_t>(saved_));
}

ChildEnd run_in_child(const std::function<int()>& child) {
    const pid_t pid = fork();
    if (pid == 0) _exit(child());
    int status = 0;
    ChildEnd end;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return end;
    end.exited = WIFEXITED(status);
    if (end.exited) end.code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
    return end;
}

void limit_file_size(unsigned long bytes) {
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

void raise_at_file_size_limit(int stopping) {
    signal_to_raise = stopping;
    signal(SIGXFSZ, raise_the_chosen_signal);
}

}  // namespace tavrik::test
