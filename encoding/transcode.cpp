#include "encoding/transcode.hpp"

#include <algorithm>
#include <cstring>

#include "encoding/utf8.hpp"

namespace tavrik::encoding::transcode {

namespace {

constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;

// The ASCII fast paths below copy bytes under 0x80 unchanged.
constexpr bool every_table_keeps_ascii() {
    for (const auto& page : SINGLE_BYTE_CODE_PAGES) {
        for (char16_t byte = 0; byte < 0x80; ++byte) {
            if (page.to_unicode[byte] != byte) return false;
        }
    }
    return true;
}
static_assert(every_table_keeps_ascii());

// True when the eight bytes at `p` are all ASCII.
inline bool eight_ascii(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return (word & HIGH_BITS) == 0;
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
    bool undefined = false;
    // While there is room for a whole 8-byte block or a 4-byte store, no check per character.
    while (i < n && capacity - written >= 8) {
        if (in[i] < 0x80 && n - i >= 8 && eight_ascii(in + i)) {
            std::memcpy(destination + written, in + i, 8);
            written += 8;
            i += 8;
            continue;
        }
        const Utf8Entry& entry = table[in[i++]];
        std::memcpy(destination + written, entry.bytes.data(), 4);
        written += entry.length();
        undefined |= entry.length() == 0;
    }
    for (; i < n; ++i) {
        const Utf8Entry& entry = table[in[i]];
        if (entry.length() > capacity - written) return -1;
        std::memcpy(destination + written, entry.bytes.data(), entry.length());
        written += entry.length();
        undefined |= entry.length() == 0;
    }
    return undefined ? -1 : static_cast<std::int64_t>(written);
}

std::int64_t utf8_to_single_byte(std::string_view source, char* destination, std::size_t capacity,
                                 int table_index) {
    const auto& two_byte = TWO_BYTE_ENCODER_TABLES[static_cast<std::size_t>(table_index)];
    const auto& encoder = SINGLE_BYTE_ENCODERS[static_cast<std::size_t>(table_index)];
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    const std::size_t n = source.size();
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            const std::size_t step = n - i >= 8 && eight_ascii(in + i) ? 8 : 1;
            if (step > capacity - written) return -1;
            std::memcpy(destination + written, in + i, step);
            written += step;
            i += step;
            continue;
        }
        // A multi-byte sequence, checked as strictly as the validator checks it.
        std::int16_t byte;
        if (lead >= 0xC2 && lead <= 0xDF) {
            if (n - i < 2 || !utf8::is_continuation(in[i + 1])) return -1;
            byte = two_byte[(lead & 0x1Fu) << 6 | (in[i + 1] & 0x3Fu)];
            i += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            if (n - i < 3 || !utf8::is_continuation(in[i + 1]) || !utf8::is_continuation(in[i + 2]))
                return -1;
            const char32_t cp = utf8::assemble(source, i, 2);
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
            byte = encoder.encode(cp);
            i += 3;
        } else {
            // Four-byte sequences lie outside the BMP, which no single-byte code page holds;
            // anything else is malformed. Either way the step fails.
            return -1;
        }
        if (byte < 0 || written == capacity) return -1;
        destination[written++] = static_cast<char>(byte);
    }
    return static_cast<std::int64_t>(written);
}

std::size_t count_high_bytes(std::string_view source) {
    constexpr std::uint64_t LOW_BITS = 0x0101010101010101ULL;
    const char* p = source.data();
    const std::size_t n = source.size();
    std::size_t count = 0;
    std::size_t i = 0;
    // Eight bytes at a time: each byte's top bit moved to its bottom, summed bytewise in blocks
    // short enough that no byte overflows, then added up across the word.
    while (n - i >= 8) {
        std::uint64_t lanes = 0;
        for (int k = 0; k < 255 && n - i >= 8; ++k, i += 8) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            lanes += (word >> 7) & LOW_BITS;
        }
        // Byte lanes (each at most 255) into 16-bit lanes, then their sum in the top lane.
        const std::uint64_t pairs =
            (lanes & 0x00FF00FF00FF00FFULL) + ((lanes >> 8) & 0x00FF00FF00FF00FFULL);
        count += static_cast<std::size_t>((pairs * 0x0001000100010001ULL) >> 48);
    }
    for (; i < n; ++i)
        count += static_cast<unsigned char>(p[i]) >> 7;
    return count;
}

Utf8Measure single_byte_to_utf8_measured(std::string_view source, char* destination,
                                         std::size_t capacity, int table_index) {
    constexpr std::uint64_t FIELD = 0xFFFF;
    const auto& utf8 = UTF8_TABLES[static_cast<std::size_t>(table_index)];
    const auto& measures = MEASURE_TABLES[static_cast<std::size_t>(table_index)];
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    Utf8Measure result;
    std::size_t written = 0;
    for (std::size_t start = 0; start < source.size(); start += MEASURE_BLOCK) {
        const std::size_t end = std::min(source.size(), start + MEASURE_BLOCK);
        std::uint64_t sum = 0;  // the fields of a whole block fit in 16 bits each
        for (std::size_t i = start; i < end; ++i) {
            const Utf8Entry& entry = utf8[in[i]];
            if (capacity - written >= 4) {
                std::memcpy(destination + written, entry.bytes.data(), 4);
            } else if (entry.length() <= capacity - written) {
                std::memcpy(destination + written, entry.bytes.data(), entry.length());
            } else {
                return {};
            }
            written += entry.length();
            sum += measures[in[i]];
        }
        if ((sum >> 48) != 0) return {};  // an undefined byte
        result.cyrillic += static_cast<std::int64_t>((sum >> 16) & FIELD);
        result.printable += static_cast<std::int64_t>((sum >> 32) & FIELD);
    }
    result.ok = true;
    result.length = written;
    return result;
}

}  // namespace tavrik::encoding::transcode
