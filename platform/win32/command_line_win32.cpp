#include <windows.h>
// after windows.h, which they need
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "encoding/visible_text.hpp"
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

std::vector<std::string> command_line_arguments_shown(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (const std::u16string& argument : command_line_arguments(argc, argv)) {
        arguments.push_back(encoding::visible_utf16(argument, encoding::Backslash::separator));
    }
    return arguments;
}

void use_binary_standard_streams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace tavrik::platform
