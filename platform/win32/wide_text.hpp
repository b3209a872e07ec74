// Our UTF-16 text is char16_t; the Win32 wide interfaces take wchar_t, the same 16-bit unit on
// Windows. The one place the two meet.
#pragma once

#include <string>
#include <string_view>

namespace tavrik::platform::win32 {

// Copies, for code that builds wide strings (and that is compiled and tested on every platform).
inline std::wstring wide_string(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
inline std::u16string from_wide(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t));

// A terminated string for a call that reads one.
inline const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
// A view need not be terminated: make a string first.
const wchar_t* wide(std::u16string_view text) = delete;

// A buffer for a call that writes into one.
inline wchar_t* wide_buffer(std::u16string& text) {
    return reinterpret_cast<wchar_t*>(text.data());
}

// What a call wrote, as our text, without a copy.
inline std::u16string_view from_wide(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}
#endif

}  // namespace tavrik::platform::win32
