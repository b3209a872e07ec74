// "Проверить систему" with the walk away from the window's thread: the window answers while it
// runs, the score line shows how far it has got, and the check-system button stops it. When the
// walk ends, its result is reported on the window's thread as check_system always did.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/main_window_state.hpp"

namespace tavrik {

inline constexpr std::u16string_view CANCEL_CHECK_TEXT = u"Отменить проверку";
inline constexpr std::u16string_view CANCELLING_TEXT = u"Отмена...";
inline constexpr std::size_t PROGRESS_PATH_UNITS = 60;  // the tail of a long path shown

// Starts the walk: the check-system button becomes the cancel button and the score line shows
// the progress. When no thread can be had, walks on the window's thread, as before.
void start_system_walk(MainWindowState& state);
// The same walk through `folder` and everything below it («Проверить папку...»).
void start_system_walk(MainWindowState& state, std::u16string_view folder);
bool system_walk_running(const MainWindowState& state);
// Asks the running walk to stop; its end is reported as cancelled and nothing is renamed.
void cancel_system_walk(MainWindowState& state);
// The window's thread heard from the walk: shows its progress, or, once it has ended, restores
// the score line and the button and reports the result (report_check in ui/system_check.hpp).
void on_work_notice(MainWindowState& state) noexcept;
// Cancels the walk and waits for it to end, reporting nothing: the window is going away.
void stop_system_walk(MainWindowState& state) noexcept;

// "Просмотрено: 12345  |  C:\Users\Аня\Documents"; a path longer than PROGRESS_PATH_UNITS
// shows its end after "…", from a separator where there is one.
std::u16string walk_progress_line(std::uint64_t entries, std::u16string_view directory);

}  // namespace tavrik
