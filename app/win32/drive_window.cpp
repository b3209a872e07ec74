// Drives a running Tavrik window from outside, as a person would: puts text into the input box
// and presses the fix button. Used to photograph the window and to time a fix; not part of the
// program.
//   drive_window.exe <text>            put the text in and fix it once
//   drive_window.exe --time N <text>   fix it N times; print each fix's milliseconds until the
//                                      button returned and until the window was painted again
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

double milliseconds_between(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
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
    HWND window = nullptr;
    for (int attempt = 0; attempt < 100 && !window; ++attempt) {
        window = FindWindowW(L"TavrikGUI", nullptr);
        if (!window) Sleep(100);
    }
    if (!window) return 1;
    const HWND input = GetDlgItem(window, 1001);
    const HWND fix = GetDlgItem(window, 1004);
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arguments[text_argument]));
    if (runs == 0) {
        SendMessageW(fix, BM_CLICK, 0, 0);
        LocalFree(arguments);
        return 0;
    }
    std::vector<double> handled, painted;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start, clicked, drawn;
        QueryPerformanceCounter(&start);
        SendMessageW(fix, BM_CLICK, 0, 0);
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
    LocalFree(arguments);
    return 0;
}
