// The code pages garbled Russian text passes through on its way to a person: the pages it was
// shown in (Windows-1252 and Latin-1 on Western systems and the web, the DOS consoles' 437 and
// 850, Mac OS Roman, the Cyrillic pages) and the pages its bytes really were in. A garbled text is
// undone by writing what the person saw back in the page it was shown in and reading those bytes in
// the page they belong to. Shown text is whatever the page made of every byte, so a page a text is
// shown in maps every byte to a character, as Windows' own converter does (Windows-1251's 0x98
// as U+0098, Windows-1252's five undefined bytes as the C1 controls of the same numbers);
// reading bytes in a page is strict, as the catalogue's conversions are.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrik::encoding {

enum class TextPage : std::uint8_t {
    utf8,
    cp1251,   // the published Windows-1251: 0x98 undefined
    win1251,  // Windows-1251 as Windows converts it: 0x98 is U+0098
    cp866,
    koi8r,
    iso88595,
    maccyrillic,
    cp1252,  // as Windows converts it: 0x81 0x8D 0x8F 0x90 0x9D are the C1 controls
    latin1,
    cp437,
    cp850,
    macroman,
};

// The pages a garbled text may have been shown in, and those its bytes may really be in.
inline constexpr std::array<TextPage, 10> SHOWN_PAGES = {
    TextPage::cp1252,      TextPage::latin1,  TextPage::cp437, TextPage::cp850,
    TextPage::win1251,     TextPage::cp866,   TextPage::koi8r, TextPage::iso88595,
    TextPage::maccyrillic, TextPage::macroman};
inline constexpr std::array<TextPage, 6> SOURCE_PAGES = {TextPage::utf8,     TextPage::cp1251,
                                                         TextPage::cp866,    TextPage::koi8r,
                                                         TextPage::iso88595, TextPage::maccyrillic};

// The short name a chain label uses: "utf8", "cp1252", "latin1", "win1251", ...
const char* text_page_name(TextPage page);

// Whether two pages read every byte alike where both define it (win1251 and cp1251): writing in
// one and reading in the other gives the text back.
bool same_characters(TextPage a, TextPage b);

// The text written in `page`; false when a character has no byte there (or, for UTF-8, is a
// surrogate or past U+10FFFF).
bool write_text(TextPage page, std::u32string_view text, std::string& bytes);

// `bytes` read in `page`; false when a byte is undefined there or the bytes are not UTF-8.
bool read_text(TextPage page, std::string_view bytes, std::u32string& text);

// Both at once, as one layer of garbling is undone: `text` written in `shown`, read in `source`.
bool reread_text(TextPage shown, TextPage source, std::u32string_view text, std::u32string& out);

// reread_text that gives up, false, at the first character read outside ASCII that `allowed`
// refuses: a caller that would throw such a reading away is spared the rest of it.
bool reread_text_if(TextPage shown, TextPage source, std::u32string_view text, std::u32string& out,
                    bool (*allowed)(char32_t));

// UTF-8 to code points, each ill-formed byte as U+FFFD; and back.
std::u32string code_points_of(std::string_view utf8);
std::string utf8_of(std::u32string_view text);

}  // namespace tavrik::encoding
