#include "ui/list_line.hpp"

#include <cstdio>
#include <cstring>

#include "encoding/up_to_nul.hpp"
#include "encoding/utf8.hpp"

namespace tavrik {

namespace {
constexpr std::string_view ELLIPSIS = "\xE2\x80\xA6";  // …
constexpr bool is_continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The longest start of `text` of at most `limit` bytes that does not end inside a character.
std::string_view cut_at_character(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    // Back to the start of the character the cut falls in (at most three bytes back).
    for (int k = 0; k < 3 && cut > 0 && is_continuation(text[cut]); ++k)
        --cut;
    return text.substr(0, cut);
}

}  // namespace

std::string make_preview(std::string_view text) {
    // Only its start is shown, and only a start's length tells how it is shown.
    text = encoding::up_to_nul(text.substr(0, PREVIEW_LIMIT + 2));
    std::string preview(text.size() <= PREVIEW_LIMIT ? text : cut_at_character(text, PREVIEW_CUT));
    if (text.size() > PREVIEW_LIMIT + 1) preview += ELLIPSIS;
    for (char& c : preview) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return preview;
}

std::string format_list_line(const Candidate& candidate) {
    char score[32];
    std::snprintf(score, sizeof score, "%.0f", candidate.score);
    std::string line = candidate.label_text();
    line += '\t';
    line += score;
    line += '\t';
    line += make_preview(candidate.view());
    return std::string(cut_at_character(line, LIST_LINE_SIZE - 1));
}

std::u16string list_line_for_display(const Candidate& candidate) {
    return encoding::utf8::decode_lossy(format_list_line(candidate));
}

std::string displayable_utf8(std::string_view bytes) {
    std::string shown;
    encoding::utf8::encode_lenient(encoding::utf8::decode_lossy(bytes), shown);
    return shown;
}

}  // namespace tavrik
