#include "engine/seen_text.hpp"

#include "encoding/utf8.hpp"
#include "engine/code_pages.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {

ByteOrderMark byte_order_mark(std::string_view bytes, std::size_t& length) {
    length = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        length = 3;
        return ByteOrderMark::utf8;
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        length = 2;
        return ByteOrderMark::utf16_little;
    }
    if (bytes.substr(0, 2) == "\xFE\xFF") {
        length = 2;
        return ByteOrderMark::utf16_big;
    }
    return ByteOrderMark::none;
}

std::string utf8_of_utf16(std::string_view bytes, bool big_endian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first));
    }
    std::string utf8;
    encoding::utf8::encode_lenient(units, utf8);
    if (bytes.size() % 2 != 0) utf8 += "\xEF\xBF\xBD";
    return utf8;
}

std::string seen_line(std::string_view bytes, bool& was_utf8) {
    was_utf8 = encoding::utf8::is_well_formed(bytes);
    if (was_utf8) return std::string(bytes);
    std::u16string wide;
    std::string utf8;
    if (!platform::decode_as_system(platform::system_ansi_code_page(), bytes, wide)) {
        // An ANSI code page nothing here knows: each byte as the character of its number.
        for (const char byte : bytes)
            encoding::utf8::append(utf8, static_cast<unsigned char>(byte));
        return utf8;
    }
    encoding::utf8::encode_lenient(wide, utf8);
    return utf8;
}

SeenText seen_text(std::string_view bytes) {
    SeenText seen;
    std::size_t mark_length = 0;
    seen.mark = byte_order_mark(bytes, mark_length);
    bytes.remove_prefix(mark_length);
    if (seen.mark == ByteOrderMark::utf16_little || seen.mark == ByteOrderMark::utf16_big) {
        seen.utf8 = utf8_of_utf16(bytes, seen.mark == ByteOrderMark::utf16_big);
        return seen;
    }
    if (encoding::utf8::is_well_formed(bytes)) {
        seen.utf8.assign(bytes);
        return seen;
    }
    seen.utf8.reserve(bytes.size() * 2);
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        bool was_utf8 = false;
        seen.utf8 += seen_line(bytes.substr(start, end - start), was_utf8);
        seen.from_utf8 = seen.from_utf8 && was_utf8;
        start = end;
    }
    return seen;
}

std::string seen_origin(const SeenText& seen) {
    return seen.from_utf8 ? "utf8" : code_page_name(platform::system_ansi_code_page());
}

}  // namespace tavrik
