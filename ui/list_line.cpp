#include "ui/list_line.hpp"

#include <cstdio>
#include <cstring>

#include "platform/codepages/utf8.hpp"

namespace tavrik {

namespace {
constexpr std::string_view ELLIPSIS = "\xE2\x80\xA6";  // …
constexpr bool is_continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}
}  // namespace

std::string make_preview(std::string_view text) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    std::string preview;
    if (text.size() <= PREVIEW_LIMIT) {
        preview = text;
    } else {
        std::size_t cut = PREVIEW_CUT;
        // Back to the start of the character the cut falls in (at most three bytes back).
        for (int k = 0; k < 3 && cut > 0 && is_continuation(text[cut]); ++k)
            --cut;
        preview = text.substr(0, cut);
        if (text.size() > PREVIEW_LIMIT + 1) preview += ELLIPSIS;
    }
    for (char& c : preview) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return preview;
}

std::string format_list_line(const Candidate& candidate) {
    const std::string preview = make_preview(candidate.view());
    std::array<char, LIST_LINE_SIZE> line{};
    std::snprintf(line.data(), line.size(), "%s\t%.0f\t%s", candidate.label_text(), candidate.score,
                  preview.c_str());
    return line.data();
}

int best_candidate_index(std::span<const Candidate> candidates) {
    int best = 0;
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        // A score that does not compare greater (NaN included) never replaces the best.
        if (candidates[i].score > candidates[static_cast<std::size_t>(best)].score) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::string displayable_utf8(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t valid = platform::utf8::valid_prefix_length(bytes);
        shown.append(bytes.substr(0, valid));
        if (valid == bytes.size()) break;
        shown.append("\xEF\xBF\xBD");  // U+FFFD for the byte that starts no valid sequence
        bytes.remove_prefix(valid + 1);
    }
    return shown;
}

}  // namespace tavrik
