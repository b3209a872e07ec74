// Garbling texts for the accuracy measures: bytes read in one code page and written in another,
// as a program with the wrong code page does; and the length classes the measures report by.
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

// Russian letters in a UTF-8 text: the length a text is classed by.
inline int letters(const std::string& utf8) {
    int count = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = encoding::utf8::next_or_replacement(utf8, i);
        count += (c >= 0x410 && c <= 0x44F) || c == 0x401 || c == 0x451;
    }
    return count;
}

inline const char* length_class(int letter_count) {
    return letter_count < 5     ? "1-4 letters"
           : letter_count < 20  ? "5-19 letters"
           : letter_count < 100 ? "20-99 letters"
                                : "100+ letters";
}

}  // namespace tavrik::bench
