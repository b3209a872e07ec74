#include "encoding/visible_text.hpp"

#include <cstdint>

#include "encoding/raw_names.hpp"
#include "encoding/utf8.hpp"

namespace tavrik::encoding {

namespace {

constexpr char HEX_DIGITS[] = "0123456789ABCDEF";

void append_hex(std::string& out, std::uint32_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        out += HEX_DIGITS[(value >> shift) & 0xF];
    }
}

void append_byte_escape(std::string& out, unsigned char byte) {
    out += "\\x";
    append_hex(out, byte, 2);
}

void append_unit_escape(std::string& out, std::uint32_t unit) {
    out += "\\u";
    append_hex(out, unit, 4);
}

// Appends one code point (never a surrogate) as the line shows it.
void append_visible(std::string& out, char32_t c, Backslash backslash) {
    switch (c) {
        case U'\n':
            out += "\\n";
            return;
        case U'\r':
            out += "\\r";
            return;
        case U'\t':
            out += "\\t";
            return;
        case U'\\':
            out += backslash == Backslash::name_character ? "\\\\" : "\\";
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F) {
        append_byte_escape(out, static_cast<unsigned char>(c));
    } else if ((c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029) {
        append_unit_escape(out, static_cast<std::uint32_t>(c));
    } else {
        utf8::append(out, c);
    }
}

// Length of the UTF-8 sequence `lead` starts (1 for a byte that starts none).
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

char32_t decode_sequence(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1) return lead;
    char32_t c = lead & (0x7F >> sequence.size());
    for (std::size_t k = 1; k < sequence.size(); ++k) {
        c = (c << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
    }
    return c;
}

}  // namespace

std::string visible_bytes(std::string_view bytes, Backslash backslash) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = sequence_length(lead);
        const std::string_view sequence = bytes.substr(i, length);
        if (lead >= 0x80 &&
            (sequence.size() < length || utf8::valid_prefix_length(sequence) != length)) {
            append_byte_escape(out, lead);  // not part of a well-formed sequence
            ++i;
            continue;
        }
        append_visible(out, decode_sequence(sequence), backslash);
        i += length;
    }
    return out;
}

std::string visible_utf16(std::u16string_view text, Backslash backslash) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0x20 && unit < 0x7F && unit != u'\\') {  // shown as it is
            out.push_back(static_cast<char>(unit));
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            const char32_t pair =
                0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
            append_visible(out, pair, backslash);
            ++i;
        } else if (is_raw_byte(unit) && backslash == Backslash::name_character) {
            // A POSIX name's byte that was not UTF-8 (raw_names.hpp): shown as the byte.
            append_byte_escape(out, static_cast<unsigned char>(unit - 0xDC00));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            append_unit_escape(out, unit);  // a surrogate without its pair
        } else {
            append_visible(out, unit, backslash);
        }
    }
    return out;
}

}  // namespace tavrik::encoding
