// The repair of a text as a person saw it: the console tool's `fix`, `top` and `list` and the
// window's preselection all take it from here.
//
// Garbled Russian reaches people through many pages: UTF-8 shown as Windows-1251 («РџСЂРёРІРµС‚»)
// or as Windows-1252 («Ð¿Ñ€Ð¸Ð²ÐµÑ‚»), 1251 shown as 1252 («Ïðèâåò»), UTF-8 through a DOS console
// («╤ü╨░╨╜»), the same garbling twice, and garbled strings inside right text (code, logs, SQL).
// A reading writes the text back in the page it was shown in and reads the bytes in the page
// they were really in; up to three such layers. The text is cut into words (runs of letters and
// of characters outside ASCII; ASCII between them stays as it is), the words into spans (words
// with only spaces, digits and punctuation between them, on one line), and each span that
// looks garbled is repaired by the chain that makes it read clearly more plausibly as Russian:
// on its own evidence, or, where it is too short to tell, by the chain the rest of the text
// shows. Within a span only the words that chain improves change. Words that read as right
// text in any language, and everything in ASCII, are left as they are.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/text_pages.hpp"

namespace tavrik {

// One layer of garbling undone: written in the page it was shown in, read in its own.
struct TextLayer {
    encoding::TextPage shown = encoding::TextPage::cp1252;
    encoding::TextPage source = encoding::TextPage::utf8;
    friend bool operator==(const TextLayer&, const TextLayer&) = default;
};

inline constexpr int MAX_TEXT_LAYERS = 3;

struct TextChain {
    std::array<TextLayer, MAX_TEXT_LAYERS> layers{};
    int count = 0;
    friend bool operator==(const TextChain& a, const TextChain& b) {
        if (a.count != b.count) return false;
        for (int i = 0; i < a.count; ++i) {
            if (!(a.layers[static_cast<std::size_t>(i)] == b.layers[static_cast<std::size_t>(i)]))
                return false;
        }
        return true;
    }
};

// "cp1252 → utf8", "cp1251 → utf8 → cp1251 → utf8": the pages of each layer in turn.
std::string chain_steps(const TextChain& chain);
// The text undone by the chain; false when a character does not convert on the way.
bool apply_text_chain(const TextChain& chain, std::u32string_view text, std::u32string& out);

// A reading of the whole text by one chain, as the window lists it.
struct WholeReading {
    TextChain chain;
    std::string text;  // UTF-8
    double plausibility = 0;
};

struct TextRepair {
    std::string text;  // UTF-8: the repaired text, or the text as given
    bool changed = false;
    bool in_parts = false;  // only some spans changed, or spans by different chains
    // The text as given shows garbling's marks that nothing here removes: left as it is.
    bool garbled = false;
    // Spans that look garbled and that no chain known repaired.
    int doubtful_left = 0;
    std::vector<TextChain> chains;  // the chains of the spans changed, first used first
    // Every chain that reads the whole text clearly more plausibly than it reads, with its
    // text; the most plausible first.
    std::vector<WholeReading> readings;
};

// Repairs `seen`, the text as the person saw it (UTF-8; ill-formed bytes count as U+FFFD).
TextRepair repair_text(std::string_view seen);

// The same over code points: the work of repair_text, for callers that have them.
TextRepair repair_text(std::u32string_view seen);

// For texts too long to judge at once: the chains the start of a text shows, then each part
// repaired with them (a line, say), so that a text of any size is repaired piece by piece.
class PieceRepair {
  public:
    // Learns the chains from `start` (the text as seen, UTF-8).
    explicit PieceRepair(std::string_view start);
    ~PieceRepair();
    PieceRepair(const PieceRepair&) = delete;
    PieceRepair& operator=(const PieceRepair&) = delete;

    // Repairs one piece (UTF-8, as seen); cut only at ASCII characters.
    TextRepair repair(std::string_view piece) const;
    // Appends to `out` what repair(piece).text is, without weighing the whole piece by every
    // chain for the readings and judgements only a whole repair carries.
    void append_repaired(std::string_view piece, std::string& out) const;

  private:
    std::vector<TextChain> candidates_;
    bool shown_ = false;
    // What each word met so far is like, as given and as each chain reads it: the words of a
    // text recur from piece to piece. Kept by a repair that changes nothing else, so one
    // PieceRepair serves one thread.
    struct Words;
    std::unique_ptr<Words> known_;
};

// "по частям: cp1252 → utf8, cp866 → cp1251" for a text repaired in parts, else the origin and
// the chain's steps, "utf8 → cp1252 → utf8"; empty when nothing changed.
std::string repair_label(const TextRepair& repair, std::string_view origin);

}  // namespace tavrik
