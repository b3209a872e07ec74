// glibc's iconv, as an independent source the tests check our code page tables against.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik::test {

// `bytes` in the charset `name` as UTF-32, or nothing when iconv refuses any of it.
std::optional<std::u32string> iconv_decode(const char* name, std::string_view bytes);

// `text` in the charset `name`, or nothing when iconv cannot encode all of it.
std::optional<std::string> iconv_encode(const char* name, std::u32string_view text);

}  // namespace tavrik::test
