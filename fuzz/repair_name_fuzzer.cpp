// repair_name under several system code pages: a repaired name differs from the name, has more
// units of the Cyrillic block, holds no separator and no NUL, and turns back into the name
// through the code pages it came through, so no character was lost to a default character.
#include <algorithm>
#include <string>

#include "fuzz/fuzz_input.hpp"
#include "names/name_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"

namespace {

std::size_t cyrillic(std::u16string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t u) { return u >= 0x400 && u <= 0x4FF; }));
}

// `text` written in one code page and read in the other, when that loses nothing.
std::optional<std::u16string> through(std::u16string_view text, std::uint32_t write,
                                      std::uint32_t read) {
    std::string bytes;
    std::u16string back;
    const auto result = tavrik::platform::encode_from_utf16(write, text, bytes);
    if (!result.ok || result.used_default ||
        !tavrik::platform::decode_to_utf16(read, bytes, back)) {
        return std::nullopt;
    }
    return back;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik;
    fuzz::Input input(data, size);
    const fuzz::PickedSystem system(input);
    // The name's units: two bytes each, most of them steered into the ranges names use.
    std::u16string path;
    const std::string_view bytes = input.rest();
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto high = static_cast<unsigned char>(bytes[i]);
        const auto low = static_cast<unsigned char>(bytes[i + 1]);
        const char16_t bases[] = {0x0000, 0x0400, 0x2500, 0x0000, 0x0080, 0x2100};
        path += high < 0xF0 ? static_cast<char16_t>(bases[high % 6] + low)
                            : static_cast<char16_t>(high << 8 | low);
    }
    std::u16string repaired = u"untouched";
    const int result = repair_name(path, repaired);
    if (result == 0) {
        if (repaired != u"untouched") __builtin_trap();
        return 0;
    }
    const std::u16string_view name = name_of(path);
    if (result != 1 || repaired == name || cyrillic(repaired) <= cyrillic(name)) __builtin_trap();
    if (repaired.find_first_of(std::u16string_view(u"\\/\0", 3)) != std::u16string::npos)
        __builtin_trap();
    const std::uint32_t ansi = system.ansi(), oem = system.oem();
    const bool from_a =
        through(name, ansi, oem) == repaired && through(repaired, oem, ansi) == name;
    const bool from_b =
        through(name, oem, ansi) == repaired && through(repaired, ansi, oem) == name;
    if (!from_a && !from_b) __builtin_trap();
    return 0;
}
