// The console tool's own readings: the catalogue's candidates, then readings through code pages
// the catalogue leaves out. MacCyrillic (10007), and Windows-1251 as Windows converts it, with
// byte 0x98 as U+0098: Windows and browsers show that byte so, and UTF-8 «И» (D0 98) keeps it
// when it is garbled, so no strict chain restores such a text. The catalogue, its chains and the
// one-call repairs are untouched by any of this.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/candidates.hpp"
#include "engine/russian_plausibility.hpp"

namespace tavrik {

// Code pages of the readings beside the catalogue's numbers. Windows-1251 as Windows converts it
// has a number of its own here, outside the range of code page numbers.
inline constexpr std::uint32_t READING_MAC_CYRILLIC = 10007;
inline constexpr std::uint32_t READING_WINDOWS_1251 = 0x10000 + 1251;

// "maccyrillic", "win1251", otherwise the catalogue's name (code_page_name).
const char* reading_code_page_name(std::uint32_t code_page);

// `bytes` read in `code_page` (a resolved catalogue code page or one of the above), as UTF-8
// into `utf8`; false when a byte is undefined there or the bytes are not UTF-8. Strict, as the
// catalogue's conversions are, except for 0x98 in READING_WINDOWS_1251.
bool read_in_code_page(std::uint32_t code_page, std::string_view bytes, std::string& utf8);

// UTF-8 text written in `code_page` into `bytes`; false when the text is not UTF-8 or holds a
// character the code page lacks. MacCyrillic also takes Windows' characters for the three bytes
// where Windows' 10007 and Apple's definition differ (¢ ∂ ¤ for 0xA2 0xB6 0xFF).
bool write_in_code_page(std::uint32_t code_page, std::string_view utf8, std::string& bytes);

// Every reading of one text: the catalogue's candidates in their order, then the readings of
// ours whose texts none of those has, labelled like chains ("utf8 → win1251 → utf8"):
// - the input read in each single-byte catalogue code page (the catalogue's readings, unless a
//   text outgrows its work buffers), then as MacCyrillic;
// - from UTF-8, the text written in MacCyrillic or in Windows' 1251 (when it holds U+0098) and
//   read in each code page, and written in each single-byte catalogue code page and read as
//   MacCyrillic.
// Running out of memory ends the list early; it never throws.
class Readings {
  public:
    explicit Readings(std::string_view input);
    Readings(const Readings&) = delete;
    Readings& operator=(const Readings&) = delete;

    int size() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    std::span<const Candidate> view() const { return items_; }
    const Candidate& operator[](int i) const { return items_[static_cast<std::size_t>(i)]; }
    // How many of them come from the catalogue (the first ones).
    int catalogue_count() const { return catalogue_count_; }

  private:
    std::vector<Candidate> items_;
    int catalogue_count_ = 0;
};

// Below this plausibility (russian_plausibility) a text does not read as Russian: control
// characters, box drawing, or letters in orders Russian does not have. Measured in
// bench/plausibility_accuracy.cpp: real Russian texts and their readings score far above it,
// the best wrong readings of texts no reading restores far below (see README).
inline constexpr double IMPLAUSIBLE_BELOW = -52;

// Below this many symbols (PlausibilityMeasure::symbols) a text is too little evidence to call
// it implausible: a real two-letter word can cost more than the threshold.
inline constexpr std::int64_t PLAUSIBILITY_EVIDENCE = 8;

// Whether a text reads as Russian, or as text at all: an empty or short text passes; so does
// text in another alphabet (each such letter costs less than the threshold).
bool reads_as_text(const PlausibilityMeasure& measure);

// How much more plausible, over the whole text (in the model's eighths of a bit), a reading of
// ours must be to displace the catalogue's choice. Less than most_plausible_candidate's margin
// between catalogue chains: MacCyrillic read as 1251 differs from the right reading only in
// capitals, «я» and «ё», often a single letter in a sentence, while 1251 read as MacCyrillic
// loses letters just as plainly. Measured in bench/plausibility_accuracy.cpp (see README).
inline constexpr double OWN_READING_MARGIN = 48;

// The most plausible of `candidates`: most_plausible_candidate's choice among the first
// `preferred_count`, unless the most plausible of the others (the first of equals) is more
// plausible by `margin` over the whole text (by most_plausible_candidate's own margin, if more,
// when either text has fewer than PLAUSIBILITY_EVIDENCE symbols), or at all when the preferred
// choice holds U+0098 (a C1 control that only Windows' 0x98 puts into a text). -1 when there
// are none.
int most_plausible_with_margin(std::span<const Candidate> candidates, int preferred_count,
                               double margin);

// The tool's choice among the readings (most_plausible_with_margin, the catalogue's candidates
// preferred, OWN_READING_MARGIN), and whether it reads as text at all. `index` is -1 when there
// is no reading.
struct ReadingChoice {
    int index = -1;
    PlausibilityMeasure measure;
    bool plausible = false;
};
ReadingChoice choose_reading(const Readings& readings, double margin = OWN_READING_MARGIN);

// Up to this many letters a text is short: the trigram model has little evidence, and the
// choice also asks which readings consist of known word forms (engine/word_forms.hpp).
inline constexpr int WORD_FORM_TEXT_LETTERS = 24;

// choose_reading as the plausibility alone decides it. choose_reading then, on a short text
// whose choice holds a word of up to WORD_FORM_LETTERS letters that is no known form, takes the
// most plausible reading (the first of equals) that reads as text, whose letters are as large
// a share of its characters at least, and whose words are all known forms (longer words pass),
// if there is one.
ReadingChoice choose_reading_by_plausibility(const Readings& readings,
                                             double margin = OWN_READING_MARGIN);

}  // namespace tavrik
