// Conversion between bytes in a code page and UTF-16, for every build: our own tables and
// UTF-8 codec where they cover the code page, the operating system's converter otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/utf8.hpp"

namespace tavrik::platform {

inline constexpr std::uint32_t UTF8_CODE_PAGE = 65001;

// Decodes `bytes` strictly: false when any byte or sequence is invalid or undefined in the
// code page, or the code page is unknown. `out` is unspecified on failure.
bool decode_to_utf16(std::uint32_t code_page, std::string_view bytes, std::u16string& out);

struct EncodeResult {
    bool ok = false;            // false: unknown code page, or out of memory
    bool used_default = false;  // some character had no mapping and became the default one
};

// Encodes without best-fit mapping: a character the code page lacks is written as its default
// character and reported. Into UTF-8 every character is encoded (an unpaired surrogate as
// U+FFFD) and nothing is reported.
EncodeResult encode_from_utf16(std::uint32_t code_page, std::u16string_view text, std::string& out);

// The conversions of the system's own converter, as the narrow (ANSI) window interface applies
// them: on Windows the operating system's converter itself (without best fit); elsewhere our
// tables, with what Windows adds to them: a byte from 0x80 to 0x9F that the code page leaves
// undefined stands for the C1 control of the same number (0x98 in Windows-1251 is U+0098), and
// back. Decoding fails only for an unknown code page; another undefined byte becomes U+FFFD.
// Encoding reports a character without a mapping, as encode_from_utf16 does.
bool decode_as_system(std::uint32_t code_page, std::string_view bytes, std::u16string& out);
EncodeResult encode_as_system(std::uint32_t code_page, std::u16string_view text, std::string& out);

// True when the conversion of `code_page` is our own (tables or UTF-8), the same on every
// platform.
bool has_own_converter(std::uint32_t code_page);

}  // namespace tavrik::platform
