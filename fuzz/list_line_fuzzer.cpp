// The window's preview, list line and score line on any text, label and score: the preview at
// most 42 bytes with no tab or line break and never half a character after the cut; the list
// line at most 767 bytes; the score line at most 127 units; what is shown never breaks a line.
#include <cstring>
#include <string>

#include "encoding/up_to_nul.hpp"
#include "encoding/utf8.hpp"
#include "engine/candidates.hpp"
#include "fuzz/fuzz_input.hpp"
#include "ui/list_line.hpp"
#include "ui/text_panel.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik;
    fuzz::Input input(data, size);
    const std::size_t label_length = input.byte();
    const std::uint8_t score_kind = input.byte();
    const double score = score_kind < 200    ? score_kind
                         : score_kind == 200 ? 1e300
                         : score_kind == 201 ? -1e300
                                             : 0.0 / 0.0;
    const std::string_view rest = input.rest();
    const std::string label(rest.substr(0, std::min(label_length, rest.size())));
    const std::string text(rest.substr(std::min(label_length, rest.size())));

    Candidate candidate;
    auto bytes = std::make_shared<char[]>(text.size() + 1);
    std::memcpy(bytes.get(), text.data(), text.size());
    candidate.text = std::move(bytes);
    candidate.length = text.size();
    candidate.score = score;
    std::strncpy(candidate.label.data(), label.c_str(), LABEL_SIZE - 1);

    const std::string preview = make_preview(text);
    if (preview.size() > 42 || preview.find_first_of("\t\r\n") != std::string::npos)
        __builtin_trap();
    // Cut only between characters: a well-formed text gives a well-formed preview.
    const std::string_view shown_text = encoding::up_to_nul(text);
    if (encoding::utf8::is_well_formed(shown_text) && !encoding::utf8::is_well_formed(preview)) {
        __builtin_trap();
    }
    const std::string line = format_list_line(candidate);
    if (line.size() > LIST_LINE_SIZE - 1) __builtin_trap();
    if (list_line_for_display(candidate).empty() && !line.empty()) __builtin_trap();
    const std::u16string score_text_line = score_line(candidate);
    if (score_text_line.size() > SCORE_LINE_SIZE - 1) __builtin_trap();
    if (label.find_first_of("\r\n") == std::string::npos &&
        score_text_line.find_first_of(u"\r\n") != std::u16string::npos) {
        __builtin_trap();
    }
    const std::u16string shown = text_for_display(text);
    for (std::size_t i = 0; i < shown.size(); ++i) {  // every line break is CR LF
        if (shown[i] == u'\n' && (i == 0 || shown[i - 1] != u'\r')) __builtin_trap();
        if (shown[i] == u'\r' && (i + 1 == shown.size() || shown[i + 1] != u'\n')) __builtin_trap();
    }
    return 0;
}
