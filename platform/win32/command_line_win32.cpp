#include <windows.h>
// after windows.h, which they need
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/command_line.hpp"

namespace tavrik::platform {

std::vector<std::u16string> command_line_arguments(int, char**) {
    std::vector<std::u16string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) {
        arguments.emplace_back(reinterpret_cast<const char16_t*>(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

void use_binary_standard_streams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace tavrik::platform
