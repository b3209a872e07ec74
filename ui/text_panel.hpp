// The text repair panel: fix the input, browse the variants, copy, save, open a file.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "ui/main_window_state.hpp"

namespace tavrik {

inline constexpr std::size_t OPEN_READ_LIMIT = 1048575;  // bytes loaded from an opened file
inline constexpr std::size_t SCORE_LINE_SIZE = 128;      // units, with the terminator

inline constexpr std::u16string_view NO_SCORE = u"Оценка: —";

// Repairs the input box's text (as engine_input hands it over): lists every candidate, selects
// and shows the preselected one (preselected_candidate).
void fix_input(MainWindowState& state);
// Shows candidate `index` in the output box and on the score line.
void show_candidate(MainWindowState& state, int index);
// Follows the user's selection in the variant list.
void select_variant(MainWindowState& state);
// Puts the shown candidate's text on the clipboard.
void copy_selected(MainWindowState& state);
// Saves the shown candidate's text to a file the user picks.
void save_selected(MainWindowState& state);
// Loads a file the user picks into the input box, as open_text_path does.
void open_text_file(MainWindowState& state);
// Loads the file at `path` into the input box (as text_of_file reads it), then fixes it; warns
// when the text stops at a NUL or the file was too long to load whole. A file that cannot be read
// shows an error and changes nothing.
void open_text_path(MainWindowState& state, std::u16string_view path);

// Where files to open came from other than the open dialog.
enum class FilesGiven { Dropped, OnCommandLine };
// Opens the first of `paths` as open_text_path does; when there are more, says first that only
// the first one is opened. Empty paths are no files; with none left, nothing happens.
void open_first_file(MainWindowState& state, std::span<const std::u16string> paths,
                     FilesGiven given);
// The information shown when `count` files were given and only `first` is opened.
std::u16string only_first_file_note(std::size_t count, std::u16string_view first, FilesGiven given);

// Selects all of the text box that has the focus, the input's or the output's; nothing when
// another control has it.
void select_all_in_focused_box(MainWindowState& state);

// "Оценка: 150  |  utf8 → cp1251 → cp1251", cut at SCORE_LINE_SIZE - 1 units.
std::u16string score_line(const Candidate& candidate);

// A text as the output box shows it: up to its first NUL, ill-formed UTF-8 as U+FFFD, each line
// break as CR LF so that every edit control breaks the line.
std::u16string text_for_display(std::string_view utf8);

}  // namespace tavrik
