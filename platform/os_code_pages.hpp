// What each operating system layer supplies to the code page service: the system code pages
// and a converter for code pages that our own tables do not cover.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page_conversion.hpp"

namespace tavrik::platform::os {

std::uint32_t system_ansi_code_page();
std::uint32_t system_oem_code_page();

bool decode_to_utf16(std::uint32_t code_page, std::string_view bytes, std::u16string& out);
// Leniently, as the system converts for the narrow window interface; false where there is no
// system converter.
bool decode_as_system(std::uint32_t code_page, std::string_view bytes, std::u16string& out);
EncodeResult encode_from_utf16(std::uint32_t code_page, std::u16string_view text, std::string& out);

}  // namespace tavrik::platform::os
