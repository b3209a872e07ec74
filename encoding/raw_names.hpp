// Names that are bytes, not UTF-8 (POSIX file names an unzip or an old USB stick left in 1251,
// 866 or KOI8-R), carried in the program's UTF-16 without loss: each byte that is not part of
// well-formed UTF-8 becomes a lone low surrogate U+DC80..U+DCFF, which no well-formed UTF-8
// decodes to, and turns back into the same byte on the way to the system. So such a name is
// walked, shown (as \xNN) and renamed like any other, and its bytes can be read in a code page.
#pragma once

#include <string>
#include <string_view>

namespace tavrik::encoding {

// The unit that stands for a byte (0x80..0xFF) that was not UTF-8, and back.
constexpr bool is_raw_byte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}
constexpr char16_t raw_byte_unit(unsigned char byte) {
    return static_cast<char16_t>(0xDC00 + byte);
}

// `bytes` as UTF-16: well-formed UTF-8 decoded, every other byte as its raw-byte unit.
std::u16string decode_keeping_bytes(std::string_view bytes);

// `text` as bytes: each raw-byte unit its byte, the rest in UTF-8 (another surrogate without its
// pair as U+FFFD). decode_keeping_bytes of the result gives `text` back when `text` came from it.
std::string encode_keeping_bytes(std::u16string_view text);

// Whether `text` holds a raw-byte unit.
bool holds_raw_bytes(std::u16string_view text);

}  // namespace tavrik::encoding
