#include <windows.h>

#include "platform/terminal.hpp"

namespace tavrik::platform {

bool standard_error_is_terminal() {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return error != nullptr && error != INVALID_HANDLE_VALUE && GetConsoleMode(error, &mode) != 0;
}

}  // namespace tavrik::platform
