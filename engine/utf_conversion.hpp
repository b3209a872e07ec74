// UTF-8 and UTF-16 into each other, leniently: a malformed sequence or a lone surrogate becomes
// U+FFFD rather than failing.
#pragma once

#include <cstdint>
#include <memory>

namespace tavrik {

// A new zero-terminated UTF-16 string of `length` bytes of UTF-8, or null when `length` is 0 or
// less (except -1: `utf8` is zero-terminated, and the conversion takes its terminator too).
std::unique_ptr<char16_t[]> utf8_to_wide(const char* utf8, std::int32_t length);

// A new zero-terminated UTF-8 string of `length` units of UTF-16, or null likewise.
std::unique_ptr<char[]> wide_to_utf8(const char16_t* wide, std::int32_t length);

}  // namespace tavrik
