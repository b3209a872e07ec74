// The catalogue of code pages the repair engine knows, and the strict re-encoding step every
// repair chain is built from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encoding/utf8.hpp"

namespace tavrik {

// Output capacity of every re-encoding step.
inline constexpr std::size_t WORK_BUFFER_SIZE = 1048576;

// In the catalogue only: stand-ins for the system ANSI and OEM code pages.
inline constexpr std::uint32_t SYSTEM_ANSI_PLACEHOLDER = 0;
inline constexpr std::uint32_t SYSTEM_OEM_PLACEHOLDER = 1;
inline constexpr std::uint32_t CODE_PAGE_ASCII = 20127;

struct CodePageEntry {
    std::uint32_t value;
    const char* short_name;     // used in chain labels
    const char* display_label;  // descriptive; nothing shows it
};

// The order matters: names are looked up and chains enumerated in it.
inline constexpr std::array<CodePageEntry, 8> code_page_catalogue = {{
    {1251, "cp1251", "Windows-1251 (Cyrillic)"},
    {866, "cp866", "IBM866 / OEM Cyrillic"},
    {20866, "koi8r", "KOI8-R"},
    {28595, "iso88595", "ISO-8859-5"},
    {encoding::UTF8_CODE_PAGE, "utf8", "UTF-8"},
    {SYSTEM_ANSI_PLACEHOLDER, "acp", "System ANSI CP"},
    {SYSTEM_OEM_PLACEHOLDER, "oemcp", "System OEM CP"},
    {CODE_PAGE_ASCII, "ascii", "US-ASCII"},
}};

// 0 -> the system ANSI code page, 1 -> the system OEM code page, anything else itself. The
// system is asked every time.
std::uint32_t resolve_code_page(std::uint32_t value);

// The short name of the first catalogue row that resolves to `code_page`, else "cp<number>".
// For a number outside the catalogue the text lives in one static buffer, valid until the next
// such call.
const char* code_page_name(std::uint32_t code_page);

// Re-encodes `source` from one code page into another, strictly: any byte invalid or undefined
// in the source code page, any character the target cannot hold, and any output longer than
// `destination_length` fail. On entry `destination_length` is the capacity of `destination`;
// on success it is the number of bytes written. On failure it is untouched and the
// destination's contents are unspecified. Equal code pages copy the bytes unchecked. Both code
// pages are resolved numbers. Returns 1 on success, 0 on failure.
int convert_strict(std::string_view source, char* destination, std::uint64_t& destination_length,
                   std::uint32_t from_code_page, std::uint32_t to_code_page);

}  // namespace tavrik
