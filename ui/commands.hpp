// The main window's messages as commands: command routing, F5, the about box, destruction.
#pragma once

#include "ui/controls.hpp"
#include "ui/main_window_state.hpp"

namespace tavrik {

// The notification a list box sends when the user changes its selection.
inline constexpr int LIST_SELECTION_CHANGED = 1;

// Runs the command `id` (a control's or a menu item's) with its notification code. Only the
// variant list's notifications are looked at; buttons act on any command with their id. When
// memory runs out the command is abandoned, as if it had not been given, and the window goes on.
void on_command(MainWindowState& state, int id, int notification) noexcept;

// A key pressed while the main window itself has the focus: F5 fixes the input.
void on_key_down(MainWindowState& state, unsigned key) noexcept;

void show_about(MainWindowState& state);

// Releases what the window held: the candidates (and the broken-name list).
void on_destroy(MainWindowState& state);

}  // namespace tavrik
