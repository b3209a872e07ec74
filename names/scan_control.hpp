// What a long walk tells while it runs, and how it is stopped: for a window that stays responsive
// and a console that shows where the walk is.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace tavrik {

struct ScanProgress {
    std::uint64_t entries = 0;      // entries the walk has taken so far, over every folder walked
    std::u16string_view directory;  // the directory being read, as the walk names it
};

// Handed to a walk by whoever started it. The walk calls `on_progress` on its own thread each time
// it starts to read a directory and after every PROGRESS_STEP entries; and it ends soon after
// `cancel()` is called, from any thread, keeping what it had found by then.
class ScanControl {
  public:
    static constexpr std::uint64_t PROGRESS_STEP = 256;

    ScanControl() = default;
    explicit ScanControl(std::function<void(const ScanProgress&)> on_progress)
        : on_progress_(std::move(on_progress)) {}
    ScanControl(const ScanControl&) = delete;
    ScanControl& operator=(const ScanControl&) = delete;

    void cancel() noexcept { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const noexcept { return cancelled_.load(std::memory_order_relaxed); }
    // Entries taken so far: on the walking thread, or once the walk has ended.
    std::uint64_t entries() const noexcept { return entries_; }

    // For the walk: one more entry taken in `directory`.
    void count_entry(std::u16string_view directory) {
        if (++entries_ % PROGRESS_STEP == 0) report(directory);
    }
    // For the walk: `directory` is about to be read.
    void report(std::u16string_view directory) {
        if (on_progress_) on_progress_(ScanProgress{entries_, directory});
    }

  private:
    std::function<void(const ScanProgress&)> on_progress_;
    std::atomic<bool> cancelled_{false};
    std::uint64_t entries_ = 0;  // touched by the walking thread only
};

}  // namespace tavrik
