#include "ui/input_text.hpp"

#include <new>

#include "encoding/utf8.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {

namespace {

constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";
constexpr std::string_view UTF16_LE_MARK = "\xFF\xFE";
constexpr std::string_view UTF16_BE_MARK = "\xFE\xFF";

FileText utf16_text(std::string_view bytes, bool big_endian, bool truncated) {
    FileText file;
    file.utf16 = true;
    file.text.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const auto unit =
            static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first);
        if (unit == u'\0') {
            file.cut_at_nul = true;
            return file;
        }
        file.text += unit;
    }
    // Half a unit: the cut of a long file, or a damaged end that must not vanish unseen.
    if (bytes.size() % 2 != 0 && !truncated) file.text += u'\uFFFD';
    return file;
}

}  // namespace

std::string engine_input(std::u16string_view text) {
    const std::uint32_t ansi = platform::system_ansi_code_page();
    std::string bytes;
    const platform::EncodeResult encoded = platform::encode_as_system(ansi, text, bytes);
    if (encoded.ok && !encoded.used_default) {
        std::u16string back;
        if (platform::decode_as_system(ansi, bytes, back) && back == text) return bytes;
    }
    std::string utf8;
    encoding::utf8::encode_lenient(text, utf8);
    return utf8;
}

std::u16string text_from_ansi(std::string_view bytes) {
    std::u16string text;
    if (platform::decode_as_system(platform::system_ansi_code_page(), bytes, text)) return text;
    return encoding::utf8::decode_lossy(bytes);  // a code page nothing here can read
}

FileText text_of_file(std::string_view bytes, bool truncated) {
    if (bytes.starts_with(UTF16_LE_MARK)) return utf16_text(bytes.substr(2), false, truncated);
    if (bytes.starts_with(UTF16_BE_MARK)) return utf16_text(bytes.substr(2), true, truncated);
    if (bytes.starts_with(UTF8_MARK)) bytes.remove_prefix(UTF8_MARK.size());
    FileText file;
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
        file.cut_at_nul = true;
        bytes = bytes.substr(0, nul);
    }
    file.text = text_from_ansi(bytes);
    return file;
}

}  // namespace tavrik
