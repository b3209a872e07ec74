#include "encoding/raw_names.hpp"
#include "encoding/visible_text.hpp"
#include "platform/command_line.hpp"

namespace tavrik::platform {

std::vector<std::u16string> command_line_arguments(int argc, char** argv) {
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i) {
        // A path that is not UTF-8 keeps its bytes, as the names in it do.
        arguments.push_back(encoding::decode_keeping_bytes(argv[i]));
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
