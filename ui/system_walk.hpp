// The check-system walk while it runs away from the window's thread: what it has found, how far
// it has got, and how it is stopped. The window's thread reads the progress at any time and the
// list only once the work has ended (WindowSystem::finish_work).
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "names/folder_scan.hpp"
#include "names/scan_control.hpp"
#include "ui/window_system.hpp"

namespace tavrik {

class SystemWalk {
  public:
    struct Progress {
        std::uint64_t entries = 0;
        std::u16string directory;  // empty before the first folder is read
        bool finished = false;
    };

    explicit SystemWalk(ui::WindowSystem& window);
    SystemWalk(const SystemWalk&) = delete;
    SystemWalk& operator=(const SystemWalk&) = delete;

    // The walk itself, on the work's thread: every known folder, then a notice that it ended.
    // Its progress is only kept: the window reads it when it likes (on_work_notice).
    void run() noexcept;

    // On the window's thread.
    void cancel() noexcept { control_.cancel(); }
    bool cancelled() const noexcept { return control_.cancelled(); }
    Progress progress() const;
    // What the walk found; only once it has ended.
    BrokenNameList take_list() { return std::move(list_); }

    // What the window showed before the walk, shown again after it; and the progress line last
    // shown, which tells whether something else has written the score line meanwhile.
    std::u16string score_before;
    std::u16string button_before;
    std::u16string progress_shown;
    // The folder picked in «Проверить папку...»; nothing: the known folders.
    std::optional<std::u16string> folder;

  private:
    void on_progress(const ScanProgress& progress);

    ui::WindowSystem& window_;
    ScanControl control_;
    BrokenNameList list_;  // the work's, until it ends
    mutable std::mutex mutex_;
    Progress progress_;  // under mutex_
};

}  // namespace tavrik
