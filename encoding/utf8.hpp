// UTF-8 as RFC 3629 defines it: no overlong forms, no surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrik::encoding::utf8 {

// Length of the well-formed prefix of `bytes`: all of it when the text is well-formed.
std::size_t valid_prefix_length(std::string_view bytes);

inline bool is_well_formed(std::string_view bytes) {
    return valid_prefix_length(bytes) == bytes.size();
}

// Decodes well-formed UTF-8 into UTF-16; false (and `out` unspecified) on anything else.
bool decode_strict(std::string_view bytes, std::u16string& out);

// Decodes any bytes: each byte that starts no well-formed sequence becomes U+FFFD.
std::u16string decode_lossy(std::string_view bytes);

// Appends the UTF-8 form of `code_point` (at most U+10FFFF, not a surrogate).
void append(std::string& out, char32_t code_point);

// UTF-16 -> UTF-8. An unpaired surrogate becomes U+FFFD, as Windows' converter does.
void encode_lenient(std::u16string_view text, std::string& out);

// Bytes the UTF-8 form of a code point takes.
constexpr int encoded_length(char32_t code_point) {
    return code_point < 0x80 ? 1 : code_point < 0x800 ? 2 : code_point < 0x10000 ? 3 : 4;
}

}  // namespace tavrik::encoding::utf8
