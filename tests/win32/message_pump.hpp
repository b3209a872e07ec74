// This thread's messages dispatched as a message loop would, for window tests whose commands
// finish later (a walk away from the window's thread).
#pragma once

#include <windows.h>

#include <functional>

namespace tavrik::test {

// Dispatches messages until `done` or `limit_ms` has passed; whether `done`.
inline bool pump_messages_until(const std::function<bool()>& done, ULONGLONG limit_ms = 120000) {
    const ULONGLONG end = GetTickCount64() + limit_ms;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (done()) return true;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace tavrik::test
