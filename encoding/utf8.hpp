// UTF-8 as RFC 3629 defines it: no overlong forms, no surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrik::encoding {

// The Windows code page number of UTF-8.
inline constexpr std::uint32_t UTF8_CODE_PAGE = 65001;

}  // namespace tavrik::encoding

namespace tavrik::encoding::utf8 {

// The pieces every UTF-8 reader of the program is built from.

constexpr unsigned char byte_at(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

constexpr bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// How many continuation bytes `lead` announces by its top bits alone (C0..DF: 1, E0..EF: 2,
// F0..F7: 3, ASCII: 0), or -1 for a byte that starts nothing (a continuation, F8..FF). Looser
// than well-formedness: readers that count characters in any bytes use it.
constexpr int announced_continuations(unsigned char lead) {
    if (lead < 0x80) return 0;
    if (lead < 0xC0) return -1;
    if (lead < 0xE0) return 1;
    if (lead < 0xF0) return 2;
    if (lead < 0xF8) return 3;
    return -1;
}

// The code point of the sequence at `text[i]` whose lead announces `more` continuation bytes,
// taking the low six bits of each without checking them.
constexpr char32_t assemble(std::string_view text, std::size_t i, int more) {
    const unsigned char lead = byte_at(text, i);
    char32_t code_point = more == 0   ? lead
                          : more == 1 ? (lead & 0x1Fu)
                          : more == 2 ? (lead & 0x0Fu)
                                      : (lead & 0x07u);
    for (int k = 1; k <= more; ++k)
        code_point = (code_point << 6) | (byte_at(text, i + static_cast<std::size_t>(k)) & 0x3Fu);
    return code_point;
}

// Length of the well-formed sequence that starts `text[i]` (1 to 4), or 0 when none does.
constexpr std::size_t sequence_length(std::string_view text, std::size_t i) {
    const unsigned char lead = byte_at(text, i);
    if (lead < 0x80) return 1;
    if (lead < 0xC2 || lead > 0xF4) return 0;
    const int more = announced_continuations(lead);
    if (text.size() - i <= static_cast<std::size_t>(more)) return 0;
    // The byte after E0, ED, F0 and F4 lies in a narrower range: no overlong form, no
    // surrogate, nothing above U+10FFFF.
    const unsigned char second = byte_at(text, i + 1);
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high) return 0;
    for (int k = 2; k <= more; ++k) {
        if (!is_continuation(byte_at(text, i + static_cast<std::size_t>(k)))) return 0;
    }
    return static_cast<std::size_t>(more) + 1;
}

// Decodes the character at `text[i]` and moves `i` past it; a byte that starts no well-formed
// sequence reads as U+FFFD and moves `i` one byte.
constexpr char32_t next_or_replacement(std::string_view text, std::size_t& i) {
    const unsigned char lead = byte_at(text, i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    // Two-byte sequences (Cyrillic among them) are the next most common: read them directly.
    if (lead >= 0xC2 && lead <= 0xDF && text.size() - i >= 2 &&
        is_continuation(byte_at(text, i + 1))) {
        i += 2;
        return (char32_t{lead} & 0x1F) << 6 | (byte_at(text, i - 1) & 0x3Fu);
    }
    const std::size_t length = sequence_length(text, i);
    if (length == 0) {
        ++i;
        return 0xFFFD;
    }
    const char32_t code_point = assemble(text, i, static_cast<int>(length) - 1);
    i += length;
    return code_point;
}

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
