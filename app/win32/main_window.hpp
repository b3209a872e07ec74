// The main window on Windows: the window class, its procedure, and the window system the
// window's logic talks to.
#pragma once

#include <windows.h>

namespace tavrik::win32 {

// Registers the class TavrikGUI and creates the main window (not shown). Null on failure.
HWND create_main_window(HINSTANCE instance);

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

// Dispatches messages until the main window is gone; returns the quit code.
int run_message_loop();

}  // namespace tavrik::win32
