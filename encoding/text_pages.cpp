#include "encoding/text_pages.hpp"

#include <algorithm>

#include "encoding/reading_code_pages.hpp"
#include "encoding/single_byte_code_pages.hpp"
#include "encoding/utf8.hpp"

namespace tavrik::encoding {

namespace {

constexpr const SingleByteCodePage& table_of(std::uint32_t code_page) {
    return SINGLE_BYTE_CODE_PAGES[static_cast<std::size_t>(single_byte_index(code_page))];
}

// Every byte the published page leaves undefined read as the control of the same number, as
// Windows reads Windows-1252; Latin-1 is that for every byte from 0x80 up.
constexpr SingleByteCodePage with_controls_for_undefined(SingleByteCodePage page,
                                                         const char* description) {
    page.description = description;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        if (page.to_unicode[byte] == UNDEFINED_UNIT)
            page.to_unicode[byte] = static_cast<char16_t>(byte);
    }
    return page;
}

constexpr SingleByteCodePage make_latin1() {
    SingleByteCodePage page{28591, "ISO-8859-1", {}};
    for (std::size_t byte = 0; byte < 256; ++byte)
        page.to_unicode[byte] = static_cast<char16_t>(byte);
    return page;
}

constexpr SingleByteCodePage WINDOWS_1252 =
    with_controls_for_undefined(table_of(1252), "Windows-1252 as Windows converts it");
constexpr SingleByteCodePage LATIN_1 = make_latin1();

struct PageTables {
    const SingleByteCodePage* table;
    const SingleByteEncoder* encoder;
};

constexpr SingleByteEncoder WINDOWS_1252_ENCODER{WINDOWS_1252};
constexpr SingleByteEncoder LATIN_1_ENCODER{LATIN_1};

PageTables tables_of(TextPage page) {
    const auto catalogue = [](std::uint32_t number) {
        const auto index = static_cast<std::size_t>(single_byte_index(number));
        return PageTables{&SINGLE_BYTE_CODE_PAGES[index], &SINGLE_BYTE_ENCODERS[index]};
    };
    switch (page) {
        case TextPage::cp1251:
            return catalogue(1251);
        case TextPage::win1251:
            return {&WINDOWS_1251, &WINDOWS_1251_ENCODER};
        case TextPage::cp866:
            return catalogue(866);
        case TextPage::koi8r:
            return catalogue(20866);
        case TextPage::iso88595:
            return catalogue(28595);
        case TextPage::maccyrillic:
            return {&MAC_CYRILLIC, &MAC_CYRILLIC_ENCODER};
        case TextPage::cp1252:
            return {&WINDOWS_1252, &WINDOWS_1252_ENCODER};
        case TextPage::latin1:
            return {&LATIN_1, &LATIN_1_ENCODER};
        case TextPage::cp437:
            return catalogue(437);
        case TextPage::cp850:
            return catalogue(850);
        case TextPage::macroman:
            return {&MAC_ROMAN, &MAC_ROMAN_ENCODER};
        case TextPage::utf8:
            break;
    }
    return {nullptr, nullptr};
}

}  // namespace

const char* text_page_name(TextPage page) {
    switch (page) {
        case TextPage::utf8:
            return "utf8";
        case TextPage::cp1251:
            return "cp1251";
        case TextPage::win1251:
            return "win1251";
        case TextPage::cp866:
            return "cp866";
        case TextPage::koi8r:
            return "koi8r";
        case TextPage::iso88595:
            return "iso88595";
        case TextPage::maccyrillic:
            return "maccyrillic";
        case TextPage::cp1252:
            return "cp1252";
        case TextPage::latin1:
            return "latin1";
        case TextPage::cp437:
            return "cp437";
        case TextPage::cp850:
            return "cp850";
        case TextPage::macroman:
            return "macroman";
    }
    return "?";
}

bool same_characters(TextPage a, TextPage b) {
    const auto family = [](TextPage page) {
        return page == TextPage::win1251 ? TextPage::cp1251 : page;
    };
    return family(a) == family(b);
}

bool write_text(TextPage page, std::u32string_view text, std::string& bytes) {
    bytes.clear();
    bytes.reserve(text.size());
    if (page == TextPage::utf8) {
        for (const char32_t c : text) {
            if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
            utf8::append(bytes, c);
        }
        return true;
    }
    const SingleByteEncoder& encoder = *tables_of(page).encoder;
    bytes.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int16_t byte = encoder.encode(text[i]);
        if (byte == SingleByteEncoder::UNMAPPED) return false;
        bytes[i] = static_cast<char>(byte);
    }
    return true;
}

bool read_text(TextPage page, std::string_view bytes, std::u32string& text) {
    text.clear();
    text.reserve(bytes.size());
    if (page == TextPage::utf8) {
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t length = utf8::sequence_length(bytes, i);
            if (length == 0) return false;
            text.push_back(utf8::assemble(bytes, i, static_cast<int>(length) - 1));
            i += length;
        }
        return true;
    }
    const SingleByteCodePage& table = *tables_of(page).table;
    text.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char16_t unit = table.to_unicode[static_cast<unsigned char>(bytes[i])];
        if (unit == UNDEFINED_UNIT) return false;
        text[i] = unit;
    }
    return true;
}

namespace {

// A text written in a single-byte page and its bytes read as UTF-8 at once: false at the first
// byte that breaks UTF-8 or the first character `allowed` refuses, before the rest is written.
template <class Allowed>
bool reread_as_utf8(const SingleByteEncoder& encoder, std::u32string_view text, std::u32string& out,
                    Allowed allowed) {
    out.resize(text.size());
    std::size_t n = 0;
    int more = 0;  // continuation bytes still due
    char32_t code_point = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the next continuation byte
    for (const char32_t c : text) {
        const std::int16_t written = encoder.encode(c);
        if (written == SingleByteEncoder::UNMAPPED) return false;
        const auto byte = static_cast<unsigned char>(written);
        if (more == 0) {
            if (byte < 0x80) {
                out[n++] = byte;
                continue;
            }
            if (byte < 0xC2 || byte > 0xF4) return false;
            more = utf8::announced_continuations(byte);
            code_point = byte & (0x3Fu >> more);
            // After E0, ED, F0 and F4 a narrower range: no overlong form, no surrogate,
            // nothing above U+10FFFF.
            low = byte == 0xE0 ? 0xA0 : byte == 0xF0 ? 0x90 : 0x80;
            high = byte == 0xED ? 0x9F : byte == 0xF4 ? 0x8F : 0xBF;
            continue;
        }
        if (byte < low || byte > high) return false;
        low = 0x80;
        high = 0xBF;
        code_point = (code_point << 6) | (byte & 0x3Fu);
        if (--more == 0) {
            if (!allowed(code_point)) return false;
            out[n++] = code_point;
        }
    }
    out.resize(n);
    return more == 0;
}

// reread_text, with `allowed` asked of each character read outside ASCII.
template <class Allowed>
bool reread_checked(TextPage shown, TextPage source, std::u32string_view text, std::u32string& out,
                    Allowed allowed) {
    if (shown == TextPage::utf8) {
        // A short text's bytes (a word, a name) in a buffer kept for the next.
        constexpr std::size_t KEPT_BUFFER = 1024;
        thread_local std::string kept;
        std::string long_text;
        std::string& bytes = text.size() <= KEPT_BUFFER ? kept : long_text;
        return write_text(shown, text, bytes) && read_text(source, bytes, out) &&
               std::all_of(out.begin(), out.end(),
                           [&](char32_t c) { return c < 0x80 || allowed(c); });
    }
    const SingleByteEncoder& encoder = *tables_of(shown).encoder;
    if (source == TextPage::utf8) return reread_as_utf8(encoder, text, out, allowed);
    // Between two single-byte pages each character is one byte.
    const SingleByteCodePage& table = *tables_of(source).table;
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int16_t byte = encoder.encode(text[i]);
        if (byte == SingleByteEncoder::UNMAPPED) return false;
        const char16_t unit = table.to_unicode[static_cast<unsigned char>(byte)];
        if (unit == UNDEFINED_UNIT || (unit >= 0x80 && !allowed(unit))) return false;
        out[i] = unit;
    }
    return true;
}

}  // namespace

bool reread_text(TextPage shown, TextPage source, std::u32string_view text, std::u32string& out) {
    return reread_checked(shown, source, text, out, [](char32_t) { return true; });
}

bool reread_text_if(TextPage shown, TextPage source, std::u32string_view text, std::u32string& out,
                    bool (*allowed)(char32_t)) {
    return reread_checked(shown, source, text, out, allowed);
}

std::u32string code_points_of(std::string_view utf8_text) {
    // Well-formed, a code point for each byte that is no continuation; else at most one a byte.
    // Written in place, then cut to what was read.
    std::size_t most = utf8_text.size();
    if (utf8::is_well_formed(utf8_text)) {
        most = static_cast<std::size_t>(std::count_if(
            utf8_text.begin(), utf8_text.end(),
            [](char byte) { return !utf8::is_continuation(static_cast<unsigned char>(byte)); }));
    }
    std::u32string text(most, U'\0');
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8_text.size();)
        text[count++] = utf8::next_or_replacement(utf8_text, i);
    text.resize(count);
    return text;
}

std::string utf8_of(std::u32string_view text) {
    const auto shown = [](char32_t c) -> char32_t {
        return c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c;
    };
    // Sized exactly first, then written byte by byte without a check of room.
    std::size_t length = 0;
    for (const char32_t c : text)
        length += static_cast<std::size_t>(utf8::encoded_length(shown(c)));
    std::string out(length, '\0');
    char* at = out.data();
    for (const char32_t raw : text) {
        const char32_t c = shown(raw);
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *at++ = static_cast<char>(0xC0 | (c >> 6));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *at++ = static_cast<char>(0xE0 | (c >> 12));
            *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *at++ = static_cast<char>(0xF0 | (c >> 18));
            *at++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace tavrik::encoding
