// Paths as POSIX calls take them: the program's UTF-16 in UTF-8, each unit that stands for a byte
// that was not UTF-8 (encoding/raw_names.hpp) as that byte.
#pragma once

#include <string>
#include <string_view>

#include "encoding/raw_names.hpp"

namespace tavrik::platform::posix {

inline std::string native_path(std::u16string_view path) {
    return encoding::encode_keeping_bytes(path);
}

}  // namespace tavrik::platform::posix
