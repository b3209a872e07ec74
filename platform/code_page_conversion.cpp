#include "platform/code_page_conversion.hpp"

#include <new>

#include "encoding/single_byte_code_pages.hpp"
#include "encoding/utf8.hpp"
#include "platform/os_code_pages.hpp"

namespace tavrik::platform {

bool has_own_converter(std::uint32_t code_page) {
    return code_page == encoding::UTF8_CODE_PAGE || encoding::single_byte_index(code_page) >= 0;
}

bool decode_to_utf16(std::uint32_t code_page, std::string_view bytes, std::u16string& out) try {
    if (code_page == encoding::UTF8_CODE_PAGE) return encoding::utf8::decode_strict(bytes, out);
    const int index = encoding::single_byte_index(code_page);
    if (index < 0) return os::decode_to_utf16(code_page, bytes, out);
    const auto& table =
        encoding::SINGLE_BYTE_CODE_PAGES[static_cast<std::size_t>(index)].to_unicode;
    out.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char16_t unit = table[static_cast<unsigned char>(bytes[i])];
        if (unit == encoding::UNDEFINED_UNIT) return false;
        out[i] = unit;
    }
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

EncodeResult encode_from_utf16(std::uint32_t code_page, std::u16string_view text,
                               std::string& out) try {
    if (code_page == encoding::UTF8_CODE_PAGE) {
        encoding::utf8::encode_lenient(text, out);
        return {true, false};
    }
    const int index = encoding::single_byte_index(code_page);
    if (index < 0) return os::encode_from_utf16(code_page, text, out);
    const auto& encoder = encoding::SINGLE_BYTE_ENCODERS[static_cast<std::size_t>(index)];
    EncodeResult result{true, false};
    out.resize(text.size());
    std::size_t written = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int16_t byte = encoder.encode(text[i]);
        if (byte == encoding::SingleByteEncoder::UNMAPPED) {
            result.used_default = true;
            // A surrogate pair is one character, but Windows writes one default byte per unit.
            out[written++] = static_cast<char>(encoding::DEFAULT_CHARACTER);
        } else {
            out[written++] = static_cast<char>(byte);
        }
    }
    out.resize(written);
    return result;
} catch (const std::bad_alloc&) {
    return {false, false};
}

namespace {

// Windows reads a byte from 0x80 to 0x9F that a code page leaves undefined as the C1 control of
// the same number, and writes that control back as the byte.
constexpr bool is_c1(unsigned unit) {
    return unit >= 0x80 && unit <= 0x9F;
}

}  // namespace

bool decode_as_system(std::uint32_t code_page, std::string_view bytes, std::u16string& out) try {
    if (code_page == UTF8_CODE_PAGE) {
        out = encoding::utf8::decode_lossy(bytes);
        return true;
    }
    if (os::decode_as_system(code_page, bytes, out)) return true;
    const int index = encoding::single_byte_index(code_page);
    if (index < 0) return false;
    const auto& table =
        encoding::SINGLE_BYTE_CODE_PAGES[static_cast<std::size_t>(index)].to_unicode;
    out.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const char16_t unit = table[byte];
        out[i] = unit != encoding::UNDEFINED_UNIT ? unit
                 : is_c1(byte)                    ? static_cast<char16_t>(byte)
                                                  : u'\uFFFD';
    }
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

EncodeResult encode_as_system(std::uint32_t code_page, std::u16string_view text,
                              std::string& out) try {
    if (code_page == UTF8_CODE_PAGE) {
        encoding::utf8::encode_lenient(text, out);
        return {true, false};
    }
    const EncodeResult system = os::encode_from_utf16(code_page, text, out);
    if (system.ok) return system;
    const int index = encoding::single_byte_index(code_page);
    if (index < 0) return {false, false};
    const auto& page = encoding::SINGLE_BYTE_CODE_PAGES[static_cast<std::size_t>(index)];
    const auto& encoder = encoding::SINGLE_BYTE_ENCODERS[static_cast<std::size_t>(index)];
    EncodeResult result{true, false};
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int16_t byte = encoder.encode(text[i]);
        if (byte != encoding::SingleByteEncoder::UNMAPPED) {
            out[i] = static_cast<char>(byte);
        } else if (is_c1(text[i]) && page.to_unicode[text[i]] == encoding::UNDEFINED_UNIT) {
            out[i] = static_cast<char>(text[i]);
        } else {
            result.used_default = true;
            out[i] = static_cast<char>(encoding::DEFAULT_CHARACTER);
        }
    }
    return result;
} catch (const std::bad_alloc&) {
    return {false, false};
}

}  // namespace tavrik::platform
