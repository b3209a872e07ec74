// Single-byte code pages read beside the catalogue's: MacCyrillic, Mac OS Roman (a page garbled
// text is shown in), and
// Windows-1251 as Windows itself converts it, with byte 0x98 (which the published definition
// leaves undefined) as U+0098. Neither has a place in SINGLE_BYTE_CODE_PAGES, so the catalogue's
// conversions and the system's converters stay as they are.
#pragma once

#include <array>
#include <cstdint>

#include "encoding/single_byte_code_pages.hpp"

namespace tavrik::encoding {

inline constexpr std::uint32_t MAC_CYRILLIC_CODE_PAGE = 10007;

namespace detail {

inline constexpr std::array<SingleByteCodePage, 2> READING_CODE_PAGES = {{
#include "reading_tables.inc"
}};

constexpr SingleByteCodePage make_windows_1251() {
    SingleByteCodePage page =
        SINGLE_BYTE_CODE_PAGES[static_cast<std::size_t>(single_byte_index(1251))];
    page.description = "Windows-1251 as Windows converts it (0x98 is U+0098)";
    page.to_unicode[0x98] = 0x0098;
    return page;
}

}  // namespace detail

inline constexpr SingleByteCodePage MAC_CYRILLIC = detail::READING_CODE_PAGES[0];
static_assert(MAC_CYRILLIC.code_page == MAC_CYRILLIC_CODE_PAGE);
inline constexpr SingleByteEncoder MAC_CYRILLIC_ENCODER{MAC_CYRILLIC};

inline constexpr std::uint32_t MAC_ROMAN_CODE_PAGE = 10000;
inline constexpr SingleByteCodePage MAC_ROMAN = detail::READING_CODE_PAGES[1];
static_assert(MAC_ROMAN.code_page == MAC_ROMAN_CODE_PAGE);
inline constexpr SingleByteEncoder MAC_ROMAN_ENCODER{MAC_ROMAN};

inline constexpr SingleByteCodePage WINDOWS_1251 = detail::make_windows_1251();
inline constexpr SingleByteEncoder WINDOWS_1251_ENCODER{WINDOWS_1251};

}  // namespace tavrik::encoding
