#include "encoding/utf8.hpp"
#include "encoding/visible_text.hpp"
#include "platform/command_line.hpp"

namespace tavrik::platform {

std::vector<std::u16string> command_line_arguments(int argc, char** argv) {
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i) {
        std::u16string argument;
        if (!encoding::utf8::decode_strict(argv[i], argument)) argument.clear();
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::vector<std::string> command_line_arguments_shown(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(encoding::visible_bytes(argv[i], encoding::Backslash::name_character));
    }
    return arguments;
}

void use_binary_standard_streams() {}  // POSIX streams never translate

}  // namespace tavrik::platform
