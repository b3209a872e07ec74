#include "engine/utf_conversion.hpp"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "encoding/utf8.hpp"

namespace tavrik {

namespace {

// How many units a call covers: -1 counts a zero-terminated input with its terminator.
template <typename Unit>
std::size_t units_to_convert(const Unit* text, std::int32_t length) {
    if (text == nullptr || (length <= 0 && length != -1)) return 0;
    if (length > 0) return static_cast<std::size_t>(length);
    return std::char_traits<Unit>::length(text) + 1;
}

}  // namespace

std::unique_ptr<char16_t[]> utf8_to_wide(const char* utf8, std::int32_t length) try {
    const std::size_t size = units_to_convert(utf8, length);
    if (size == 0) return nullptr;
    const std::u16string wide = encoding::utf8::decode_lossy({utf8, size});
    auto out = std::make_unique_for_overwrite<char16_t[]>(wide.size() + 1);
    std::copy(wide.begin(), wide.end(), out.get());
    out[wide.size()] = u'\0';
    return out;
} catch (const std::bad_alloc&) {
    return nullptr;
}

std::unique_ptr<char[]> wide_to_utf8(const char16_t* wide, std::int32_t length) try {
    const std::size_t size = units_to_convert(wide, length);
    if (size == 0) return nullptr;
    std::string utf8;
    encoding::utf8::encode_lenient({wide, size}, utf8);
    auto out = std::make_unique_for_overwrite<char[]>(utf8.size() + 1);
    std::memcpy(out.get(), utf8.data(), utf8.size());
    out[utf8.size()] = '\0';
    return out;
} catch (const std::bad_alloc&) {
    return nullptr;
}

}  // namespace tavrik
