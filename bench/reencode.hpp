// Garbling texts for the accuracy measures: bytes read in one code page and written in another,
// as a program with the wrong code page does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "encoding/utf8.hpp"
#include "platform/code_page_conversion.hpp"

namespace tavrik::bench {

// `bytes` read in `from` and written in `to`; nothing when reading fails or a character has no
// place in `to` (the garbling would already have lost it).
inline std::optional<std::string> convert(std::uint32_t from, std::uint32_t to,
                                          const std::string& bytes) {
    std::u16string wide;
    std::string out;
    if (!platform::decode_to_utf16(from, bytes, wide)) return std::nullopt;
    const auto result = platform::encode_from_utf16(to, wide, out);
    if (!result.ok || (to != encoding::UTF8_CODE_PAGE && result.used_default)) return std::nullopt;
    return out;
}

}  // namespace tavrik::bench
