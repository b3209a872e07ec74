#include "ui/system_check_progress.hpp"

#include <memory>
#include <new>
#include <optional>
#include <string>

#include "ui/controls.hpp"
#include "ui/system_check.hpp"

namespace tavrik {

namespace {

std::u16string number(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

// Shows the walk's progress on the score line, keeping what else was written there meanwhile
// to show again after the walk.
void show_progress(MainWindowState& state) {
    SystemWalk& walk = *state.walk;
    ui::WindowSystem& window = *state.window;
    const std::u16string now_shown = window.control_text(IDC_SCORE);
    if (now_shown != walk.progress_shown) walk.score_before = now_shown;
    const SystemWalk::Progress progress = walk.progress();
    walk.progress_shown = walk_progress_line(progress.entries, progress.directory);
    window.set_text(IDC_SCORE, walk.progress_shown);
}

// The walk has ended: the window as it was, then the result.
void finish_walk(MainWindowState& state) {
    ui::WindowSystem& window = *state.window;
    window.finish_work();
    const std::unique_ptr<SystemWalk> walk = std::move(state.walk);
    const std::u16string now_shown = window.control_text(IDC_SCORE);
    window.set_text(IDC_SCORE, now_shown == walk->progress_shown ? walk->score_before : now_shown);
    window.set_text(IDC_CHECK_SYSTEM, walk->button_before);
    if (walk->cancelled()) {
        report_cancelled_check(state);
        return;
    }
    state.broken_names = walk->take_list();
    report_check(state);
}

}  // namespace

std::u16string walk_progress_line(std::uint64_t entries, std::u16string_view directory) {
    std::u16string line = u"Просмотрено: " + number(entries);
    if (directory.empty()) return line;
    line += u"  |  ";
    if (directory.size() <= PROGRESS_PATH_UNITS) {
        line.append(directory);
        return line;
    }
    std::size_t from = directory.size() - PROGRESS_PATH_UNITS;
    if (directory[from] >= 0xDC00 && directory[from] <= 0xDFFF) ++from;  // not half a pair
    const std::size_t separator = directory.find_first_of(u"\\/", from);
    if (separator != std::u16string_view::npos) from = separator;
    line += u'…';
    line.append(directory.substr(from));
    return line;
}

bool system_walk_running(const MainWindowState& state) {
    return state.walk != nullptr;
}

static void start_walk(MainWindowState& state, std::optional<std::u16string> folder);

void start_system_walk(MainWindowState& state) {
    start_walk(state, std::nullopt);
}

void start_system_walk(MainWindowState& state, std::u16string_view folder) {
    start_walk(state, std::u16string(folder));
}

static void start_walk(MainWindowState& state, std::optional<std::u16string> folder) {
    ui::WindowSystem& window = *state.window;
    auto prepared = std::make_unique<SystemWalk>(window);
    prepared->folder = std::move(folder);
    prepared->score_before = window.control_text(IDC_SCORE);
    prepared->button_before = window.control_text(IDC_CHECK_SYSTEM);
    prepared->progress_shown = walk_progress_line(0, {});
    state.walk = std::move(prepared);
    SystemWalk& walk = *state.walk;
    try {
        window.set_text(IDC_SCORE, walk.progress_shown);
        window.set_text(IDC_CHECK_SYSTEM, CANCEL_CHECK_TEXT);
    } catch (...) {
        state.walk.reset();  // nothing started
        throw;
    }
    if (window.start_work([&walk] { walk.run(); })) return;
    // No thread: the walk runs here, as it always did, with the wait cursor.
    window.show_wait_cursor();
    walk.run();
    window.restore_cursor();
    finish_walk(state);
}

void cancel_system_walk(MainWindowState& state) {
    if (!state.walk || state.walk->cancelled()) return;
    state.walk->cancel();
    state.window->set_text(IDC_CHECK_SYSTEM, CANCELLING_TEXT);
}

void on_work_notice(MainWindowState& state) noexcept {
    try {
        if (!state.walk) return;  // a notice that came after the end
        if (state.walk->progress().finished) {
            finish_walk(state);
        } else {
            show_progress(state);
        }
    } catch (const std::bad_alloc&) {
        // The result cannot be reported: nothing is kept to rename from.
        stop_system_walk(state);
        release_broken_names(state);
    }
}

void stop_system_walk(MainWindowState& state) noexcept {
    if (!state.walk) return;
    state.walk->cancel();
    state.window->finish_work();
    state.walk.reset();
}

}  // namespace tavrik
