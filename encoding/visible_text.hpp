// Names, paths and other text written on one line of a listing or a message, so that the line
// reads one way only: what cannot be shown as itself is escaped.
#pragma once

#include <string>
#include <string_view>

namespace tavrik::encoding {

// Whether a backslash is an ordinary character of a name (POSIX), and so is shown doubled, or
// only separates folders (Windows), and so is shown as itself.
enum class Backslash { name_character, separator };

// `bytes` as UTF-8 for one line: well-formed UTF-8 stays as it is, except that a line feed, a
// carriage return and a tab show as \n, \r and \t, every other control character (U+0000 to
// U+001F, U+007F) as \xNN, a C1 control or a line or paragraph separator (U+0080 to U+009F,
// U+2028, U+2029) as \uXXXX, and each byte that is not part of well-formed UTF-8 as \xNN
// (upper-case hexadecimal digits). A backslash shows as \\ when it is a name character.
std::string visible_bytes(std::string_view bytes, Backslash backslash);

// The same for UTF-16, where a surrogate without its pair shows as \uXXXX, but for a unit that
// stands for a byte of a POSIX name that was not UTF-8 (encoding/raw_names.hpp), which shows as
// that byte, \xNN, where a backslash is a name character.
std::string visible_utf16(std::u16string_view text, Backslash backslash);

}  // namespace tavrik::encoding
