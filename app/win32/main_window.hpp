// The main window on Windows: the window class, its procedure, and the window system the
// window's logic talks to.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace tavrik::win32 {

// Registers the class TavrikGUI and creates the main window (not shown). Null on failure.
HWND create_main_window(HINSTANCE instance);

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

// Opens the first of the files given on the command line, as the open dialog does; after the
// window is shown, so that an error box has its owner on the screen.
void open_files_on_start(HWND main, std::span<const std::u16string> paths);

// The keyboard shortcuts (ui/controls.hpp SHORTCUTS) while the main window exists.
HACCEL main_window_accelerators();

// Gives a message taken from the queue its keyboard meaning in the main window: a shortcut becomes
// its command, Tab, Shift+Tab and Enter move and click as in a dialog. True when the message was
// used so, and must not be dispatched again.
bool translate_window_keys(MSG& message);

// Dispatches messages until the main window is gone, through translate_window_keys first;
// returns the quit code.
int run_message_loop();

}  // namespace tavrik::win32
