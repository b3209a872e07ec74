// The check-system and fix-system commands: broken file names in the user's shell folders.
#pragma once

#include <string>

#include "ui/main_window_state.hpp"

namespace tavrik {

// Walks the known folders, away from the window's thread (ui/system_check_progress.hpp); when
// the walk ends, reports what it found and, if the user agrees, renames at once. Does nothing
// while a walk runs.
void check_system(MainWindowState& state);
// «Проверить папку...»: the folder picker, then the same walk through the folder picked, with
// the same report, question and renames; the texts say «папки» where check-system's say
// «системы». Nothing when the picker is cancelled or while a walk runs.
void check_folder(MainWindowState& state);
// What a finished walk found (state.broken_names): "nothing found", or the count and the
// question whether to rename now.
void report_check(MainWindowState& state);
// A walk that was cancelled: says so; nothing is kept to rename.
void report_cancelled_check(MainWindowState& state);
// Renames what the last check found; asks for a check first when there is nothing, and to wait
// while a walk runs.
void fix_system(MainWindowState& state);
// Renames the current list with the wait cursor shown, reports the counts, empties the list.
void apply_renames(MainWindowState& state);
void release_broken_names(MainWindowState& state);

// "Найдено 3 проблем" and "Исправлено: 2\nОшибок: 1".
std::u16string found_caption(int count);
std::u16string result_text(int fixed, int errors);

}  // namespace tavrik
