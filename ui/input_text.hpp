// Between the input box's characters and the bytes the engine repairs; and a file's bytes as the
// input box's text.
#pragma once

#include <string>
#include <string_view>

namespace tavrik {

// The bytes the engine repairs for the input box's text. When the text survives the system's
// conversion to the system ANSI code page and back unchanged (no best fit, no default
// character), its bytes in that code page: exactly what the narrow window interface hands over,
// so a 1251 paste is repaired as it always was. Otherwise its UTF-8 (a lone surrogate as
// U+FFFD), which loses nothing: «╧ЁштхЄ, ьшЁ!», 1251 shown as 866, has no 1251 bytes.
std::string engine_input(std::u16string_view text);

// The input box's text for bytes put into it through the narrow window interface: read in the
// system ANSI code page as the system reads them.
std::u16string text_from_ansi(std::string_view bytes);

// A file's bytes as the input box shows them.
struct FileText {
    std::u16string text;
    bool cut_at_nul = false;  // the text stops at a NUL: what follows it is left out
    bool utf16 = false;       // read as UTF-16, after its byte order mark
};

// Bytes that start with a UTF-16 byte order mark (FF FE little endian, FE FF big endian) are read
// as UTF-16 up to the first U+0000; a last odd byte is U+FFFD unless `truncated` says the bytes
// are the start of a longer file. Any other bytes lose a UTF-8 byte order mark, are cut at the
// first NUL byte and are read as text_from_ansi reads them.
FileText text_of_file(std::string_view bytes, bool truncated);

}  // namespace tavrik
