// Direct byte-to-byte kernels for the code pages the program converts itself: the same results
// as decoding into UTF-16 and encoding again, without the round trip.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encoding/single_byte_code_pages.hpp"

namespace tavrik::encoding::transcode {

inline constexpr std::size_t TABLE_COUNT = SINGLE_BYTE_CODE_PAGES.size();

// Byte in one table's code page -> byte in another's, or -1 where the source byte is undefined
// or its character is missing from the target.
using PairTable = std::array<std::int16_t, 256>;

// One byte of a single-byte code page as UTF-8: up to three bytes in memory order, then their
// count in the fourth (0 when the byte is undefined), so that one 4-byte store writes a character.
struct Utf8Entry {
    std::array<char, 4> bytes;
    constexpr std::uint8_t length() const { return static_cast<std::uint8_t>(bytes[3]); }
};
using Utf8Table = std::array<Utf8Entry, 256>;

// What one byte adds when a text is read in a single-byte code page, packed so that a block of
// up to MEASURE_BLOCK bytes can be summed in one integer: bits 0-15 the UTF-8 length, 16-31 1
// when the character is Cyrillic (U+0400..U+052F), 32-47 1 when it is printable ASCII, 48-63 1
// when the byte is undefined.
using MeasureTable = std::array<std::uint64_t, 256>;
inline constexpr std::size_t MEASURE_BLOCK = 16384;

// UTF-16 units below U+0800 (one- and two-byte UTF-8) -> byte of a single-byte code page, or -1.
using TwoByteEncoderTable = std::array<std::int16_t, 0x800>;

namespace detail {

constexpr auto make_pair_tables() {
    std::array<PairTable, TABLE_COUNT * TABLE_COUNT> tables{};
    for (std::size_t from = 0; from < TABLE_COUNT; ++from) {
        for (std::size_t to = 0; to < TABLE_COUNT; ++to) {
            auto& table = tables[from * TABLE_COUNT + to];
            for (std::size_t byte = 0; byte < 256; ++byte) {
                const char16_t unit = SINGLE_BYTE_CODE_PAGES[from].to_unicode[byte];
                table[byte] = unit == UNDEFINED_UNIT ? std::int16_t{-1}
                                                     : SINGLE_BYTE_ENCODERS[to].encode(unit);
            }
        }
    }
    return tables;
}

constexpr auto make_utf8_tables() {
    std::array<Utf8Table, TABLE_COUNT> tables{};
    for (std::size_t index = 0; index < TABLE_COUNT; ++index) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const char32_t cp = SINGLE_BYTE_CODE_PAGES[index].to_unicode[byte];
            Utf8Entry entry{};
            if (cp == UNDEFINED_UNIT) {
                entry.bytes = {0, 0, 0, 0};
            } else if (cp < 0x80) {
                entry.bytes = {static_cast<char>(cp), 0, 0, 1};
            } else if (cp < 0x800) {
                entry.bytes = {static_cast<char>(0xC0 | (cp >> 6)),
                               static_cast<char>(0x80 | (cp & 0x3F)), 0, 2};
            } else {
                entry.bytes = {static_cast<char>(0xE0 | (cp >> 12)),
                               static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                               static_cast<char>(0x80 | (cp & 0x3F)), 3};
            }
            tables[index][byte] = entry;
        }
    }
    return tables;
}

constexpr auto make_measure_tables() {
    std::array<MeasureTable, TABLE_COUNT> tables{};
    for (std::size_t index = 0; index < TABLE_COUNT; ++index) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const char32_t cp = SINGLE_BYTE_CODE_PAGES[index].to_unicode[byte];
            if (cp == UNDEFINED_UNIT) {
                tables[index][byte] = std::uint64_t{1} << 48;
                continue;
            }
            const std::uint64_t length = cp < 0x80 ? 1 : cp < 0x800 ? 2 : 3;
            const std::uint64_t cyrillic = cp >= 0x400 && cp <= 0x52F;
            const std::uint64_t printable = cp >= 0x20 && cp <= 0x7E;
            tables[index][byte] = length | cyrillic << 16 | printable << 32;
        }
    }
    return tables;
}

constexpr auto make_two_byte_encoder_tables() {
    std::array<TwoByteEncoderTable, TABLE_COUNT> tables{};
    for (std::size_t index = 0; index < TABLE_COUNT; ++index) {
        for (char32_t cp = 0; cp < 0x800; ++cp) {
            tables[index][cp] = SINGLE_BYTE_ENCODERS[index].encode(cp);
        }
    }
    return tables;
}

// Searching a text in its single-byte form for what its UTF-8 form holds relies on every defined
// byte standing for a character no other byte stands for.
constexpr bool every_table_is_one_to_one() {
    for (std::size_t index = 0; index < TABLE_COUNT; ++index) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const char16_t unit = SINGLE_BYTE_CODE_PAGES[index].to_unicode[byte];
            if (unit == UNDEFINED_UNIT) continue;
            if (SINGLE_BYTE_ENCODERS[index].encode(unit) != static_cast<std::int16_t>(byte)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(every_table_is_one_to_one());

}  // namespace detail

inline constexpr auto PAIR_TABLES = detail::make_pair_tables();
inline constexpr auto UTF8_TABLES = detail::make_utf8_tables();
inline constexpr auto MEASURE_TABLES = detail::make_measure_tables();
inline constexpr auto TWO_BYTE_ENCODER_TABLES = detail::make_two_byte_encoder_tables();

inline const PairTable& pair_table(int from_index, int to_index) {
    return PAIR_TABLES[static_cast<std::size_t>(from_index) * TABLE_COUNT +
                       static_cast<std::size_t>(to_index)];
}

// Each kernel writes at most `capacity` bytes and returns the number written, or -1 on an
// undefined byte, a missing character, malformed UTF-8 or a result longer than `capacity`.
std::int64_t single_byte_to_single_byte(std::string_view source, char* destination,
                                        std::size_t capacity, const PairTable& table);

std::int64_t single_byte_to_utf8(std::string_view source, char* destination, std::size_t capacity,
                                 const Utf8Table& table);

std::int64_t utf8_to_single_byte(std::string_view source, char* destination, std::size_t capacity,
                                 int table_index);

// Bytes 0x80..0xFF in `source`. Every character of ours above 0x7F takes at least two bytes of
// UTF-8, so size + this is a lower bound on the UTF-8 form of a single-byte text.
std::size_t count_high_bytes(std::string_view source);

// single_byte_to_utf8, also counting what the text's score needs.
struct Utf8Measure {
    bool ok = false;  // false: an undefined byte, or more than the capacity
    std::size_t length = 0;
    std::int64_t cyrillic = 0;   // characters U+0400..U+052F
    std::int64_t printable = 0;  // characters U+0020..U+007E
};
Utf8Measure single_byte_to_utf8_measured(std::string_view source, char* destination,
                                         std::size_t capacity, int table_index);

}  // namespace tavrik::encoding::transcode
