// Drives a running Tavrik window from outside, as a person would: puts text into the input box,
// presses the fix button and prints the repaired text from the output box (UTF-8). Used to
// photograph the window; not part of the program.
//   drive_window.exe <text>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdio>
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
    // The button's command, sent: it returns once the window has fixed the text.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_FIX, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_FIX)));
    LocalFree(arguments);

    // Another process's control: GetWindowTextW would not ask it, WM_GETTEXT does.
    const HWND output = GetDlgItem(window, IDC_OUTPUT);
    const auto length = static_cast<std::size_t>(SendMessageW(output, WM_GETTEXTLENGTH, 0, 0));
    std::wstring repaired(length + 1, L'\0');
    repaired.resize(static_cast<std::size_t>(SendMessageW(
        output, WM_GETTEXT, repaired.size(), reinterpret_cast<LPARAM>(repaired.data()))));
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, repaired.data(), static_cast<int>(repaired.size()), nullptr,
                            0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, repaired.data(), static_cast<int>(repaired.size()), utf8.data(),
                        bytes, nullptr, nullptr);
    utf8 += '\n';
    return std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size() &&
                   std::fflush(stdout) == 0
               ? 0
               : 1;
}
