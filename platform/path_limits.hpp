// The longest path Windows can address, in UTF-16 units without the terminator. Every path the
// program forms, records or writes to stays within it: a path cut to fit would name some other
// entry.
#pragma once

#include <cstddef>

namespace tavrik::platform {

inline constexpr std::size_t MAX_PATH_UNITS = 32767;

}  // namespace tavrik::platform
