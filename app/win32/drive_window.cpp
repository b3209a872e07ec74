// Drives a running Tavrik window from outside, as a person would: puts text into the input box,
// presses the fix button and prints the repaired text from the output box (UTF-8). Used to
// photograph the window and to time a fix; not part of the program.
//   drive_window.exe <text>            put the text in, fix it once, print the repaired text
//   drive_window.exe --time N <text>   fix it N times; print each fix's milliseconds until the
//                                      button returned and until the window was painted again
// A text given as @FILE is the content of that file (UTF-8), for texts too long for a command
// line.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "ui/controls.hpp"

namespace {

double milliseconds_between(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Presses the fix button: its command, sent, returns once the window has fixed the text.
void press_fix(HWND window) {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(tavrik::IDC_FIX, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, tavrik::IDC_FIX)));
}

// The output box's text as UTF-8. Another process's control: GetWindowTextW would not ask it,
// WM_GETTEXT does.
std::string repaired_text(HWND window) {
    const HWND output = GetDlgItem(window, tavrik::IDC_OUTPUT);
    const auto length = static_cast<std::size_t>(SendMessageW(output, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(output, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    const int units = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), units, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

int time_fixes(HWND window, int runs) {
    std::vector<double> handled, painted;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start, clicked, drawn;
        QueryPerformanceCounter(&start);
        press_fix(window);
        QueryPerformanceCounter(&clicked);
        // Paints what the fix left to paint, in the window's own thread, and waits for it.
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageW(window, WM_NULL, 0, 0);
        QueryPerformanceCounter(&drawn);
        handled.push_back(milliseconds_between(start, clicked));
        painted.push_back(milliseconds_between(start, drawn));
        std::printf("fix %2d: %7.1f ms handled, %7.1f ms painted\n", run + 1, handled.back(),
                    painted.back());
        Sleep(200);
    }
    std::sort(handled.begin(), handled.end());
    std::sort(painted.begin(), painted.end());
    std::printf("median: %.1f ms handled, %.1f ms painted\n", handled[handled.size() / 2],
                painted[painted.size() / 2]);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 2) return 2;
    int runs = 0;
    int text_argument = 1;
    if (wcscmp(arguments[1], L"--time") == 0) {
        if (count < 4) return 2;
        runs = std::max(1, _wtoi(arguments[2]));
        text_argument = 3;
    }
    const std::wstring window_class(tavrik::WINDOW_CLASS.begin(), tavrik::WINDOW_CLASS.end());
    HWND window = nullptr;
    for (int attempt = 0; attempt < 100 && !window; ++attempt) {
        window = FindWindowW(window_class.c_str(), nullptr);
        if (!window) Sleep(100);
    }
    if (!window) return 1;
    std::wstring text = arguments[text_argument];
    if (!text.empty() && text[0] == L'@') {
        FILE* file = _wfopen(text.c_str() + 1, L"rb");
        if (!file) return 1;
        std::string utf8;
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            utf8.append(buffer, n);
        std::fclose(file);
        const int units =
            MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        text.assign(static_cast<std::size_t>(units), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                            units);
    }
    SendMessageW(GetDlgItem(window, tavrik::IDC_INPUT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
    LocalFree(arguments);
    if (runs > 0) return time_fixes(window, runs);
    press_fix(window);
    const std::string utf8 = repaired_text(window) + '\n';
    return std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size() &&
                   std::fflush(stdout) == 0
               ? 0
               : 1;
}
