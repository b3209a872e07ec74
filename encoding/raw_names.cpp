#include "encoding/raw_names.hpp"

#include <algorithm>

#include "encoding/utf8.hpp"

namespace tavrik::encoding {

std::u16string decode_keeping_bytes(std::string_view bytes) {
    // Never more units than bytes: room made once, cut to size at the end.
    std::u16string out(bytes.size(), u'\0');
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = utf8::byte_at(bytes, i);
        if (byte < 0x80) {
            out[n++] = static_cast<char16_t>(byte);
            ++i;
            continue;
        }
        const std::size_t length = utf8::sequence_length(bytes, i);
        if (length == 0) {
            out[n++] = raw_byte_unit(byte);
            ++i;
            continue;
        }
        const char32_t c = utf8::assemble(bytes, i, static_cast<int>(length) - 1);
        if (c >= 0x10000) {
            out[n++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out[n++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out[n++] = static_cast<char16_t>(c);
        }
        i += length;
    }
    out.resize(n);
    return out;
}

std::string encode_keeping_bytes(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !is_raw_byte(text[i])) continue;
        // A raw-byte unit directly after a high surrogate is that surrogate's pair, not a byte.
        if (i < text.size() && i > start && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF)
            continue;
        std::string part;
        utf8::encode_lenient(text.substr(start, i - start), part);
        out += part;
        if (i < text.size()) out += static_cast<char>(text[i] - 0xDC00);
        start = i + 1;
    }
    return out;
}

bool holds_raw_bytes(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (is_raw_byte(text[i]) && (i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF))
            return true;
    }
    return false;
}

}  // namespace tavrik::encoding
