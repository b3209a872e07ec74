#include "ui/system_walk.hpp"

#include <set>

#include "names/name_readings.hpp"

namespace tavrik {

SystemWalk::SystemWalk(ui::WindowSystem& window)
    : window_(window), control_([this](const ScanProgress& progress) { on_progress(progress); }) {}

void SystemWalk::run() noexcept {
    try {
        if (folder) {
            std::set<platform::DirectoryIdentity> walked;
            scan_directory(*folder, list_, walked, repair_name_every_way, &control_);
        } else {
            scan_known_folders(list_, control_);
        }
    } catch (...) {
        // Memory ran out outside the walk's own care: the list keeps what it has.
    }
    {
        const std::lock_guard lock(mutex_);
        progress_.finished = true;
    }
    window_.notify_window();
}

SystemWalk::Progress SystemWalk::progress() const {
    const std::lock_guard lock(mutex_);
    return progress_;
}

void SystemWalk::on_progress(const ScanProgress& progress) {
    const std::lock_guard lock(mutex_);
    progress_.entries = progress.entries;
    progress_.directory.assign(progress.directory);
}

}  // namespace tavrik
