#include "tests/support/posix_helpers.hpp"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace tavrik::test {

namespace {

// For a child: the start a program gets from a shell, every signal at its default and
// unblocked, and no core files.
void default_signals() {
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP) ::signal(signal, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
}

ChildEnd end_of(int status) {
    ChildEnd end;
    end.exited = WIFEXITED(status);
    if (end.exited) end.code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
    return end;
}

// Waits for the child's end; a stopped one, which would never end by itself, is killed.
ChildEnd wait_for(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, WUNTRACED) != pid) return {};
    if (!WIFSTOPPED(status)) return end_of(status);
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return {};
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
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return {};
    return end_of(status);
}

ChildEnd signal_child_when_ready(const std::function<void()>& until_ready, int signal) {
    int ready[2];
    if (pipe(ready) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        default_signals();
        until_ready();
        const char byte = 1;
        if (write(ready[1], &byte, 1) != 1) _exit(100);
        for (;;)
            pause();
    }
    close(ready[1]);
    char byte = 0;
    if (pid > 0 && read(ready[0], &byte, 1) == 1) kill(pid, signal);  // 0: it ended before
    close(ready[0]);
    return pid > 0 ? wait_for(pid) : ChildEnd{};
}

std::vector<int> signals_that_end_by_default() {
    std::vector<int> ending;
    for (int signal = 1; signal < NSIG; ++signal) {
        const pid_t pid = fork();
        if (pid == 0) {
            default_signals();
            raise(signal);
            _exit(0);
        }
        if (pid > 0 && wait_for(pid).signal == signal) ending.push_back(signal);
    }
    return ending;
}

void limit_cpu_time(unsigned long seconds) {
    const rlimit limit{seconds, seconds};
    setrlimit(RLIMIT_CPU, &limit);
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
}

void limit_file_size(unsigned long bytes) {
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace tavrik::test
