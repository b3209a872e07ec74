#include "engine/code_pages.hpp"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "encoding/transcode.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {

std::uint32_t resolve_code_page(std::uint32_t value) {
    if (value == SYSTEM_ANSI_PLACEHOLDER) return platform::system_ansi_code_page();
    if (value == SYSTEM_OEM_PLACEHOLDER) return platform::system_oem_code_page();
    return value;
}

const char* code_page_name(std::uint32_t code_page) {
    for (const CodePageEntry& row : code_page_catalogue) {
        if (resolve_code_page(row.value) == code_page) return row.short_name;
    }
    static char formatted[16];
    std::snprintf(formatted, sizeof formatted, "cp%u", static_cast<unsigned>(code_page));
    return formatted;
}

namespace {

// The general step: decode into UTF-16, then encode, refusing any substitution.
int convert_through_utf16(std::string_view source, char* destination,
                          std::uint64_t& destination_length, std::uint32_t from,
                          std::uint32_t to) try {
    std::u16string wide;
    if (!platform::decode_to_utf16(from, source, wide) || wide.empty()) return 0;
    std::string encoded;
    const platform::EncodeResult result = platform::encode_from_utf16(to, wide, encoded);
    if (!result.ok || encoded.empty()) return 0;
    if (to != encoding::UTF8_CODE_PAGE && result.used_default) return 0;
    if (encoded.size() > destination_length) return 0;
    std::memcpy(destination, encoded.data(), encoded.size());
    destination_length = encoded.size();
    return 1;
} catch (const std::bad_alloc&) {
    return 0;
}

}  // namespace

int convert_strict(std::string_view source, char* destination, std::uint64_t& destination_length,
                   std::uint32_t from_code_page, std::uint32_t to_code_page) {
    if (source.empty()) {
        destination_length = 0;
        return 1;
    }
    if (from_code_page == to_code_page) {
        if (destination_length < source.size()) return 0;
        std::memcpy(destination, source.data(), source.size());
        destination_length = source.size();
        return 1;
    }

    // Our own code pages go through direct kernels; each gives exactly what the UTF-16 round
    // trip gives.
    const std::size_t capacity =
        static_cast<std::size_t>(destination_length < SIZE_MAX ? destination_length : SIZE_MAX);
    const int from_index = encoding::single_byte_index(from_code_page);
    const int to_index = encoding::single_byte_index(to_code_page);
    std::int64_t written = -2;  // -2: no kernel for this pair
    if (from_index >= 0 && to_index >= 0) {
        written = encoding::transcode::single_byte_to_single_byte(
            source, destination, capacity, encoding::transcode::pair_table(from_index, to_index));
    } else if (from_index >= 0 && to_code_page == encoding::UTF8_CODE_PAGE) {
        written = encoding::transcode::single_byte_to_utf8(
            source, destination, capacity,
            encoding::transcode::UTF8_TABLES[static_cast<std::size_t>(from_index)]);
    } else if (from_code_page == encoding::UTF8_CODE_PAGE && to_index >= 0) {
        written = encoding::transcode::utf8_to_single_byte(source, destination, capacity, to_index);
    }
    if (written == -2) {
        return convert_through_utf16(source, destination, destination_length, from_code_page,
                                     to_code_page);
    }
    if (written <= 0) return 0;
    destination_length = static_cast<std::uint64_t>(written);
    return 1;
}

}  // namespace tavrik
