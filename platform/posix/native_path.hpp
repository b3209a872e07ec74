// Paths as POSIX calls take them: the program's UTF-16 in UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "encoding/utf8.hpp"

namespace tavrik::platform::posix {

inline std::string native_path(std::u16string_view path) {
    std::string bytes;
    encoding::utf8::encode_lenient(path, bytes);
    return bytes;
}

}  // namespace tavrik::platform::posix
