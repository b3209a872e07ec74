// System code pages on a platform without them: those of a Russian-language Windows (ANSI 1251,
// OEM 866), unless the environment names others in TAVRIK_ACP and TAVRIK_OEMCP, the way a
// locale decides them on Windows, read once, as a process's locale is. Code pages outside our own
// tables cannot be converted here.
#include <cstdlib>
#include <string_view>

#include "platform/os_code_pages.hpp"

namespace tavrik::platform::os {

namespace {

std::uint32_t from_environment(const char* name, std::uint32_t fallback) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return fallback;
    char* end = nullptr;
    const unsigned long number = std::strtoul(value, &end, 10);
    if (*end != '\0' || number < 2 || number > 65535) return fallback;  // 0, 1: placeholders
    return static_cast<std::uint32_t>(number);
}

}  // namespace

std::uint32_t system_ansi_code_page() {
    static const std::uint32_t page = from_environment("TAVRIK_ACP", 1251);
    return page;
}
std::uint32_t system_oem_code_page() {
    static const std::uint32_t page = from_environment("TAVRIK_OEMCP", 866);
    return page;
}

bool decode_to_utf16(std::uint32_t, std::string_view, std::u16string&) {
    return false;
}

bool decode_as_system(std::uint32_t, std::string_view, std::u16string&) {
    return false;
}

EncodeResult encode_from_utf16(std::uint32_t, std::u16string_view, std::string&) {
    return {false, false};
}

}  // namespace tavrik::platform::os
