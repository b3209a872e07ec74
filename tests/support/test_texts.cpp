#include "tests/support/test_texts.hpp"

#include "platform/code_page_conversion.hpp"

namespace tavrik::test {

std::string_view russian_prose_utf8() {
    return "Привет, мир! Это обычный русский текст — с «кавычками», тире и многоточием… "
           "Если его прочитать не в той кодировке, получатся кракозябры, а программа "
           "должна вернуть всё как было. Можно ли это сделать нормально? Да: результат "
           "проверяется по словам и по доле кириллицы.\r\n"
           "Съешь же ещё этих мягких французских булок, да выпей чаю. Ёжик в тумане.\n";
}

std::string encode(std::uint32_t code_page, std::string_view utf8_text) {
    std::u16string wide;
    std::string bytes;
    if (!platform::decode_to_utf16(encoding::UTF8_CODE_PAGE, utf8_text, wide)) return {};
    const auto result = platform::encode_from_utf16(code_page, wide, bytes);
    return result.ok && !result.used_default ? bytes : std::string{};
}

std::string russian_prose_in(std::uint32_t code_page) {
    std::u16string wide;
    platform::decode_to_utf16(encoding::UTF8_CODE_PAGE, russian_prose_utf8(), wide);
    std::string bytes;
    for (const char16_t unit : wide) {
        std::string one;
        const auto result = platform::encode_from_utf16(code_page, std::u16string(1, unit), one);
        if (result.ok && !result.used_default) bytes += one;
    }
    return bytes;
}

std::string random_garble(std::mt19937& random, std::size_t length) {
    static constexpr std::string_view alphabet =
        "abc XYZ,.\n\xD0\xD1\xD0\xD1\xD0\xD1\x80\x98\xB0\xBF\xC0\xCF\xE0\xEF\xF0\xFF"
        "\xE2\x80\x94\x82\x8F\xA0\xAF\xC3\xE8\xF1";
    // The generator's raw output is the same with every standard library; distributions are not.
    std::string text(length, '\0');
    for (char& c : text)
        c = alphabet[random() % alphabet.size()];
    return text;
}

std::string random_bytes(std::mt19937& random, std::size_t length) {
    std::string text(length, '\0');
    for (char& c : text)
        c = static_cast<char>(random() & 0xFF);
    return text;
}

}  // namespace tavrik::test
