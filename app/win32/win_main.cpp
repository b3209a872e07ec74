// The program's entry point on Windows.
#include <windows.h>

#include <string>
#include <vector>

#include "app/win32/main_window.hpp"
#include "platform/command_line.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    const HWND window = tavrik::win32::create_main_window(instance);
    if (!window) {
        MessageBoxW(nullptr, L"Не удалось создать главное окно программы.", L"Tavrik",
                    MB_ICONERROR | MB_OK);
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    // `tavrik.exe FILE` (Explorer's "Open with", shortcuts): the file opens in the shown window.
    const std::vector<std::u16string> files = tavrik::platform::command_line_arguments(0, nullptr);
    if (!files.empty()) tavrik::win32::open_files_on_start(window, files);
    return tavrik::win32::run_message_loop();
}
