// Texts handed between the engine and the window end at their first NUL byte, as C strings do,
// even where a length says more: the one rule for where such a text stops.
#pragma once

#include <cstring>
#include <string_view>

namespace tavrik::encoding {

// `text` up to (not including) its first NUL byte; all of it when it holds none.
inline std::string_view up_to_nul(std::string_view text) {
    const void* nul = std::memchr(text.data(), 0, text.size());
    return nul == nullptr
               ? text
               : text.substr(0,
                             static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
}

}  // namespace tavrik::encoding
