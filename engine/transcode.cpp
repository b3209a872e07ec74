#include "engine/transcode.hpp"

#include <cstring>

namespace tavrik::transcode {

namespace {

constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;

// The ASCII fast paths below copy bytes under 0x80 unchanged.
constexpr bool every_table_keeps_ascii() {
    for (const auto& page : platform::SINGLE_BYTE_CODE_PAGES) {
        for (char16_t byte = 0; byte < 0x80; ++byte) {
            if (page.to_unicode[byte] != byte) return false;
        }
    }
    return true;
}
static_assert(every_table_keeps_ascii());

// Length of the run of ASCII bytes at the start of [p, p + n), found eight bytes at a time.
inline std::size_t ascii_run(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    while (i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & HIGH_BITS) break;
        i += 8;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

}  // namespace

std::int64_t single_byte_to_single_byte(std::string_view source, char* destination,
                                        std::size_t capacity, const PairTable& table) {
    const std::size_t n = source.size();
    if (n > capacity) return -1;
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    for (std::size_t i = 0; i < n; ++i) {
        const std::int16_t byte = table[in[i]];
        if (byte < 0) return -1;
        destination[i] = static_cast<char>(byte);
    }
    return static_cast<std::int64_t>(n);
}

std::int64_t single_byte_to_utf8(std::string_view source, char* destination, std::size_t capacity,
                                 const Utf8Table& table) {
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    const std::size_t n = source.size();
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < n) {
        const std::size_t run = ascii_run(in + i, n - i);
        if (run > 0) {
            if (run > capacity - written) return -1;
            std::memcpy(destination + written, in + i, run);
            written += run;
            i += run;
            continue;
        }
        const Utf8Entry& entry = table[in[i]];
        if (entry.length == 0 || entry.length > capacity - written) return -1;
        std::memcpy(destination + written, entry.bytes.data(), entry.length);
        written += entry.length;
        ++i;
    }
    return static_cast<std::int64_t>(written);
}

std::int64_t utf8_to_single_byte(std::string_view source, char* destination, std::size_t capacity,
                                 const platform::SingleByteEncoder& encoder) {
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    const std::size_t n = source.size();
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < n) {
        const std::size_t run = ascii_run(in + i, n - i);
        if (run > 0) {
            if (run > capacity - written) return -1;
            std::memcpy(destination + written, in + i, run);
            written += run;
            i += run;
            continue;
        }
        // A multi-byte sequence, checked as strictly as the validator does.
        const unsigned char lead = in[i];
        char32_t cp;
        std::size_t length;
        if (lead >= 0xC2 && lead <= 0xDF) {
            if (n - i < 2 || (in[i + 1] & 0xC0) != 0x80) return -1;
            cp = (char32_t{lead} & 0x1F) << 6 | (in[i + 1] & 0x3Fu);
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            if (n - i < 3 || (in[i + 1] & 0xC0) != 0x80 || (in[i + 2] & 0xC0) != 0x80) return -1;
            cp = (char32_t{lead} & 0x0F) << 12 | (in[i + 1] & 0x3Fu) << 6 | (in[i + 2] & 0x3Fu);
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
            length = 3;
        } else {
            // Four-byte sequences lie outside the BMP, which no single-byte code page holds;
            // anything else is malformed. Either way the step fails.
            return -1;
        }
        const std::int16_t byte = encoder.encode(cp);
        if (byte < 0 || written == capacity) return -1;
        destination[written++] = static_cast<char>(byte);
        i += length;
    }
    return static_cast<std::int64_t>(written);
}

}  // namespace tavrik::transcode
