#include "encoding/utf8.hpp"

#include <cstring>

namespace tavrik::encoding::utf8 {

namespace {

constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;

// Number of continuation bytes after `lead`, or -1 when it cannot start a sequence.
constexpr int continuation_count(unsigned char lead) {
    if (lead < 0x80) return 0;
    if (lead < 0xC2) return -1;
    if (lead < 0xE0) return 1;
    if (lead < 0xF0) return 2;
    if (lead < 0xF5) return 3;
    return -1;
}

// The range the byte after `lead` must lie in (narrower than 80..BF for E0, ED, F0, F4).
constexpr void second_byte_range(unsigned char lead, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
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
            if (n - i < 2 || (p[i + 1] & 0xC0) != 0x80) return i;
            i += 2;
            continue;
        }
        const int more = continuation_count(lead);
        if (more < 0 || i + static_cast<std::size_t>(more) >= n) return i;
        unsigned char low, high;
        second_byte_range(lead, low, high);
        if (p[i + 1] < low || p[i + 1] > high) return i;
        for (int k = 2; k <= more; ++k) {
            if ((p[i + static_cast<std::size_t>(k)] & 0xC0) != 0x80) return i;
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return n;
}

bool decode_strict(std::string_view bytes, std::u16string& out) {
    if (!is_well_formed(bytes)) return false;
    out.clear();
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char lead = p[i];
        const int more = continuation_count(lead);
        char32_t cp = more == 0   ? lead
                      : more == 1 ? (lead & 0x1Fu)
                      : more == 2 ? (lead & 0x0Fu)
                                  : (lead & 0x07u);
        for (int k = 1; k <= more; ++k)
            cp = (cp << 6) | (p[i + static_cast<std::size_t>(k)] & 0x3Fu);
        i += static_cast<std::size_t>(more) + 1;
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return true;
}

std::u16string decode_lossy(std::string_view bytes) {
    std::u16string text;
    std::u16string part;
    while (!bytes.empty()) {
        const std::size_t valid = valid_prefix_length(bytes);
        decode_strict(bytes.substr(0, valid), part);
        text += part;
        if (valid == bytes.size()) break;
        text += u'\uFFFD';
        bytes.remove_prefix(valid + 1);
    }
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
    out.clear();
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        append(out, cp);
    }
}

}  // namespace tavrik::encoding::utf8
