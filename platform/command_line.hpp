// The program's command-line arguments as UTF-16.
#pragma once

#include <string>
#include <vector>

namespace tavrik::platform {

// Every argument after the program's name. On POSIX the arguments are bytes, taken as UTF-8;
// one that is not UTF-8 comes back empty. On Windows they are the system's own UTF-16.
std::vector<std::u16string> command_line_arguments(int argc, char** argv);

// The same arguments as a message shows them, each on one line (encoding/visible_text.hpp): on
// POSIX made from the bytes, so that an argument that is not UTF-8 shows with those bytes
// escaped; a backslash shows doubled there, as it is part of a name, and as itself on Windows,
// where it separates folders.
std::vector<std::string> command_line_arguments_shown(int argc, char** argv);

// Makes standard input and output carry bytes unchanged (no line-ending translation).
void use_binary_standard_streams();

}  // namespace tavrik::platform
