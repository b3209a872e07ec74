// Drives a running Tavrik window from outside, as a person would: puts text into the input box
// and presses the fix button. Used to photograph the window; not part of the program.
//   drive_window.exe <text>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <string>

#include "ui/controls.hpp"

int main() {
    using namespace tavrik;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 2) return 2;
    const std::wstring window_class(WINDOW_CLASS.begin(), WINDOW_CLASS.end());
    HWND window = nullptr;
    for (int attempt = 0; attempt < 100 && !window; ++attempt) {
        window = FindWindowW(window_class.c_str(), nullptr);
        if (!window) Sleep(100);
    }
    if (!window) return 1;
    SendMessageW(GetDlgItem(window, IDC_INPUT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(arguments[1]));
    SendMessageW(GetDlgItem(window, IDC_FIX), BM_CLICK, 0, 0);
    LocalFree(arguments);
    return 0;
}
