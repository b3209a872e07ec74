#include "encoding/utf8.hpp"

#include <cstring>

namespace tavrik::encoding::utf8 {

namespace {

constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;

void append_utf16(std::u16string& out, char32_t code_point) {
    if (code_point < 0x10000) {
        out.push_back(static_cast<char16_t>(code_point));
    } else {
        code_point -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
    }
}

}  // namespace

std::size_t valid_prefix_length(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            // Runs of ASCII: eight bytes at a time.
            std::uint64_t word;
            if (n - i >= 8 && (std::memcpy(&word, p + i, 8), (word & HIGH_BITS) == 0)) {
                i += 8;
            } else {
                ++i;
            }
            continue;
        }
        // Two-byte sequences (Cyrillic, Latin-1, Greek, ...) are the next most common.
        if (lead >= 0xC2 && lead <= 0xDF) {
            if (n - i < 2 || !is_continuation(p[i + 1])) return i;
            i += 2;
            continue;
        }
        const std::size_t length = sequence_length(bytes, i);
        if (length == 0) return i;
        i += length;
    }
    return n;
}

bool decode_strict(std::string_view bytes, std::u16string& out) {
    if (!is_well_formed(bytes)) return false;
    out.clear();
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
        append_utf16(out, next_or_replacement(bytes, i));
    return true;
}

std::u16string decode_lossy(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
        append_utf16(text, next_or_replacement(bytes, i));
    return text;
}

void append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void encode_lenient(std::u16string_view text, std::string& out) {
    // The code point at `i` (a pair joined, a lone surrogate as U+FFFD), `i` moved past it.
    const auto next = [&](std::size_t& i) -> char32_t {
        char32_t cp = text[i++];
        if (cp >= 0xD800 && cp <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 &&
            text[i] <= 0xDFFF)
            return 0x10000 + ((cp - 0xD800) << 10) + (text[i++] - 0xDC00u);
        return cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp;
    };
    // Sized exactly first, then written in place.
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size();)
        length += static_cast<std::size_t>(encoded_length(next(i)));
    out.assign(length, '\0');
    char* at = out.data();
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = next(i);
        if (cp < 0x80) {
            *at++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            *at++ = static_cast<char>(0xC0 | (cp >> 6));
            *at++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *at++ = static_cast<char>(0xE0 | (cp >> 12));
            *at++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *at++ = static_cast<char>(0xF0 | (cp >> 18));
            *at++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *at++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
}

}  // namespace tavrik::encoding::utf8
