#include "engine/transcode.hpp"

#include <algorithm>
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
        if (in[i] < 0x80) {
            const std::size_t run = ascii_run(in + i, n - i);
            if (run > capacity - written) return -1;
            std::memcpy(destination + written, in + i, run);
            written += run;
            i += run;
            continue;
        }
        const Utf8Entry& entry = table[in[i]];
        if (entry.length == 0 || entry.length > capacity - written) return -1;
        if (capacity - written >= 4) {
            std::memcpy(destination + written, entry.bytes.data(), 4);  // one store; the padding
        } else {                                                         // is overwritten next
            std::memcpy(destination + written, entry.bytes.data(), entry.length);
        }
        written += entry.length;
        ++i;
    }
    return static_cast<std::int64_t>(written);
}

std::int64_t utf8_to_single_byte(std::string_view source, char* destination, std::size_t capacity,
                                 int table_index) {
    const auto& two_byte = TWO_BYTE_ENCODER_TABLES[static_cast<std::size_t>(table_index)];
    const auto& encoder = platform::SINGLE_BYTE_ENCODERS[static_cast<std::size_t>(table_index)];
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    const std::size_t n = source.size();
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            const std::size_t run = ascii_run(in + i, n - i);
            if (run > capacity - written) return -1;
            std::memcpy(destination + written, in + i, run);
            written += run;
            i += run;
            continue;
        }
        // A multi-byte sequence, checked as strictly as the validator checks it.
        std::int16_t byte;
        if (lead >= 0xC2 && lead <= 0xDF) {
            if (n - i < 2 || (in[i + 1] & 0xC0) != 0x80) return -1;
            byte = two_byte[(lead & 0x1Fu) << 6 | (in[i + 1] & 0x3Fu)];
            i += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            if (n - i < 3 || (in[i + 1] & 0xC0) != 0x80 || (in[i + 2] & 0xC0) != 0x80) return -1;
            const char32_t cp =
                (char32_t{lead} & 0x0F) << 12 | (in[i + 1] & 0x3Fu) << 6 | (in[i + 2] & 0x3Fu);
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

Utf8Measure measure_single_byte_as_utf8(std::string_view source, std::size_t capacity,
                                        const MeasureTable& table) {
    constexpr std::uint64_t FIELD = 0xFFFF;
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    Utf8Measure measure;
    for (std::size_t start = 0; start < source.size(); start += MEASURE_BLOCK) {
        const std::size_t end = std::min(source.size(), start + MEASURE_BLOCK);
        std::uint64_t sum = 0;
        for (std::size_t i = start; i < end; ++i) sum += table[in[i]];
        if ((sum >> 48) != 0) return {};  // an undefined byte
        measure.length += sum & FIELD;
        measure.cyrillic += static_cast<std::int64_t>((sum >> 16) & FIELD);
        measure.printable += static_cast<std::int64_t>((sum >> 32) & FIELD);
        if (measure.length > capacity) return {};
    }
    measure.ok = true;
    return measure;
}

}  // namespace tavrik::transcode
