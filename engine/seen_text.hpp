// The text a person sees in bytes: what an editor shows for a file or a terminal for a pipe. A
// byte order mark says UTF-8 or UTF-16 and is no part of the text; bytes that are UTF-8 show as
// UTF-8; other bytes as the system's ANSI code page shows them (Windows' own conversion). A file
// that mixes the two (UTF-8 lines beside lines of 1251 bytes) shows each line its way, as an
// editor that guesses line by line would, so that only the lines that need it are repaired.
#pragma once

#include <string>
#include <string_view>

namespace tavrik {

enum class ByteOrderMark { none, utf8, utf16_little, utf16_big };

// The byte order mark at the start of `bytes`, and its length.
ByteOrderMark byte_order_mark(std::string_view bytes, std::size_t& length);

struct SeenText {
    std::string utf8;  // the text, without a byte order mark
    ByteOrderMark mark = ByteOrderMark::none;
    bool from_utf8 = true;  // every line was UTF-8 (or UTF-16)
};

// The text `bytes` show.
SeenText seen_text(std::string_view bytes);

// One line (or any piece cut at a line break) as it shows: UTF-8 when it is, else in the system
// ANSI code page.
std::string seen_line(std::string_view bytes, bool& was_utf8);

// UTF-16 code units in bytes of the given order to UTF-8, a lone surrogate (or a last odd byte)
// as U+FFFD.
std::string utf8_of_utf16(std::string_view bytes, bool big_endian);

// The name chain labels give the page the text was read in: "utf8", or the ANSI page's.
std::string seen_origin(const SeenText& seen);

}  // namespace tavrik
