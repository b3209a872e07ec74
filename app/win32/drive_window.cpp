// Drives a running Tavrik window from outside, as a person would: puts text into the input box
// and presses the fix button. Used to photograph the window; not part of the program.
//   drive_window.exe <text>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

int main() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 2) return 2;
    HWND window = nullptr;
    for (int attempt = 0; attempt < 100 && !window; ++attempt) {
        window = FindWindowW(L"TavrikGUI", nullptr);
        if (!window) Sleep(100);
    }
    if (!window) return 1;
    SendMessageW(GetDlgItem(window, 1001), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arguments[1]));
    SendMessageW(GetDlgItem(window, 1004), BM_CLICK, 0, 0);
    LocalFree(arguments);
    return 0;
}
