// The system code pages, and Windows' own converter for code pages our tables do not cover
// (a system ANSI code page of 932, for example).
#include <windows.h>

#include <climits>

#include "platform/os_code_pages.hpp"

static_assert(sizeof(wchar_t) == sizeof(char16_t));

namespace tavrik::platform::os {

std::uint32_t system_ansi_code_page() {
    return GetACP();
}
std::uint32_t system_oem_code_page() {
    return GetOEMCP();
}

bool decode_to_utf16(std::uint32_t code_page, std::string_view bytes, std::u16string& out) {
    out.clear();
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const int size = static_cast<int>(bytes.size());
    const int units =
        MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0) return false;
    out.resize(static_cast<std::size_t>(units));
    return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size,
                               reinterpret_cast<wchar_t*>(out.data()), units) == units;
}

bool decode_as_system(std::uint32_t code_page, std::string_view bytes, std::u16string& out) {
    out.clear();
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const int size = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
    if (units <= 0) return false;
    out.resize(static_cast<std::size_t>(units));
    return MultiByteToWideChar(code_page, 0, bytes.data(), size,
                               reinterpret_cast<wchar_t*>(out.data()), units) == units;
}

EncodeResult encode_from_utf16(std::uint32_t code_page, std::u16string_view text,
                               std::string& out) {
    out.clear();
    if (text.empty()) return {true, false};
    if (text.size() > INT_MAX) return {false, false};
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int count = static_cast<int>(text.size());
    // A code page that refuses these flags (some stateful ones do) cannot tell us whether it
    // substituted anything, so it counts as one we cannot convert into.
    BOOL used_default = FALSE;
    const int size = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, units, count, nullptr, 0,
                                         nullptr, &used_default);
    if (size <= 0) return {false, false};
    out.resize(static_cast<std::size_t>(size));
    used_default = FALSE;
    if (WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, units, count, out.data(), size,
                            nullptr, &used_default) != size) {
        return {false, false};
    }
    return {true, used_default != FALSE};
}

}  // namespace tavrik::platform::os
