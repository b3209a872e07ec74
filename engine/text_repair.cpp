#include "engine/text_repair.hpp"

#include <algorithm>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "encoding/utf8.hpp"
#include "engine/mojibake_marks.hpp"
#include "engine/russian_plausibility.hpp"
#include "engine/russian_punctuation.hpp"
#include "engine/word_forms.hpp"

namespace tavrik {

namespace {

using encoding::TextPage;

// Costs and margins in the trigram model's unit, an eighth of a bit. A mark of garbling costs
// as much as sixteen bits: text that shows one is far from right text whatever its letters.
constexpr double MARK_COST = 128;
// How much more plausible, over the whole span, a span's reading must be to be taken on its own
// evidence, and how many Russian letters it must have for that.
constexpr double SPAN_MARGIN = 48;
constexpr int OWN_EVIDENCE_LETTERS = 4;
// How much a chain must gain over the words that look garbled to be tried at all, and how much
// each further layer must add.
constexpr double CHAIN_MARGIN = 48;
constexpr double LAYER_MARGIN = 64;
// Chains kept at each layer.
constexpr std::size_t BEAM = 6;
// A word of Cyrillic letters alone is doubted when it reads this badly as Russian (real words
// of three letters and more read better; «ЛПЫЛБ», KOI8-R shown as 1251, reads worse).
constexpr double DOUBTFUL_BELOW = -45;
constexpr int DOUBTFUL_LETTERS = 3;
// A word of Russian letters short enough for the lexicon to know, that it does not know, costs
// as much as twelve bits more: on a word or two the trigrams alone take «стсят» for as
// plausible as «папка».
constexpr double UNKNOWN_FORM_COST = 96;
// A sign outside ASCII costs as much as eight bits besides what the model makes of it (most
// punctuation is only a word boundary there): a reading that turns letters into «–—÷» is no
// cheaper text.
constexpr double SIGN_COST = 64;
// A text averaging below this (6.5 bits a symbol) over at least MIN_EVIDENCE symbols reads as no
// text: control characters, signs, letters in orders no language has (bytes that are no text).
constexpr double NO_TEXT_BELOW = -52;
constexpr std::int64_t MIN_EVIDENCE = 8;
// A word in capitals costs a little more than the same in small letters, as it is rarer: of two
// readings alike but for the case (ISO-8859-5 read as KOI8-R or as itself), the usual one.
constexpr double CAPITALS_COST = 24;
// Up to this many letters a text is short: the lexicon decides among common garblings there.
constexpr int SHORT_TEXT_LETTERS = 24;
// Distinct doubtful words the chains are learnt on: plenty to tell, and quick on any text.
constexpr std::size_t LEARNING_WORDS = 160;

bool is_russian_letter(char32_t c) {
    return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
}

bool is_cyrillic_letter(char32_t c) {
    return (c >= 0x0400 && c <= 0x0481) || (c >= 0x048A && c <= 0x052F);
}

bool is_ascii_letter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// Punctuation right text puts before a word: quotes, dashes, «№».
bool is_punctuation(char32_t c) {
    return is_russian_punctuation(c) || c == 0x2018 || c == 0x2019;
}

bool is_space(char32_t c) {
    return c == 0x00A0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x3000;
}

bool is_letter_like(char32_t c) {
    return is_ascii_letter(c) || is_cyrillic_letter(c) ||
           (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x370 && c <= 0x3FF);
}

// What a word is made of: letters, and every character outside ASCII (garbling makes signs,
// controls and box drawing of letters); the separators of lines and paragraphs excepted.
bool is_word_character(char32_t c) {
    return is_ascii_letter(c) || (c >= 0x80 && c != 0x2028 && c != 0x2029);
}

// What Russian text puts in UTF-8 beyond ASCII: Latin-1's signs and letters, Greek, Cyrillic,
// general punctuation, signs like «№» and «™», arrows, box drawing, emoji, a byte order mark. A
// right word that happens to be UTF-8 in some page makes other characters of it: «све» in 866 is
// Mongolian, «ЦП» in 1251 the African letter «ƿ».
bool is_written_in_russian(char32_t c) {
    return (c >= 0x00A0 && c < 0x0100) || (c >= 0x0370 && c < 0x0530) ||
           (c >= 0x2000 && c < 0x2C00) || c == 0xFEFF || (c >= 0x1F000 && c < 0x1FB00);
}

// Whether the word, written in a page it may have been shown in, makes UTF-8 of more than
// ASCII that Russian text would have: right text almost never does (its letters are no UTF-8
// sequence in any of those pages), UTF-8 shown through one of them always.
bool shows_utf8(std::u32string_view word) {
    std::string bytes;
    for (const encoding::TextPage page : encoding::SHOWN_PAGES) {
        if (!encoding::write_text(page, word, bytes)) continue;
        bool multibyte = false;
        std::size_t i = 0;
        for (; i < bytes.size(); ++i) {
            const std::size_t length = encoding::utf8::sequence_length(bytes, i);
            if (length == 0) break;
            if (length > 1 && !is_written_in_russian(
                                  encoding::utf8::assemble(bytes, i, static_cast<int>(length) - 1)))
                break;
            multibyte = multibyte || length > 1;
            i += length - 1;
        }
        if (i == bytes.size() && multibyte) return true;
    }
    return false;
}

bool is_russian_capital(char32_t c) {
    return (c >= 0x0410 && c <= 0x042F) || c == 0x0401;
}

// A reading that makes a capital of a small letter that Serbian or Macedonian writes at a word's
// start («је», «ћерка», «ќе»). MacCyrillic's capitals shown in 1251 are such letters too («ќта»
// for «Эта»), but inside a sentence a capital is rare enough that there the letter is taken as
// it stands, unless the text shows that garbling beyond doubt. (ISO-8859-5's capitals shown in
// 1251 make Ukrainian letters: «єазань».)
bool capital_of_foreign_small(std::u32string_view given, std::u32string_view read) {
    if (given.empty() || read.empty() || !is_russian_capital(read[0])) return false;
    switch (given[0]) {
        case 0x0452:  // ђ
        case 0x0453:  // ѓ
        case 0x0458:  // ј
        case 0x0459:  // љ
        case 0x045A:  // њ
        case 0x045B:  // ћ
        case 0x045C:  // ќ
        case 0x045F:  // џ
            return true;
        default:
            return false;
    }
}

// A word of Russian letters written as a name or a sentence's start is: a capital, then small
// letters. Its garblings seldom keep that shape (signs or other alphabets' letters stand for
// the capital), while a proper name of a few letters reads poorly as Russian («Ёбе»).
bool is_capitalised_russian(std::u32string_view word) {
    return word.size() > 1 && is_russian_capital(word[0]) &&
           std::all_of(word.begin() + 1, word.end(),
                       [](char32_t c) { return is_russian_letter(c) && !is_russian_capital(c); });
}

// Calls `run(from, to)` for each longest run of characters `in_run` takes.
template <class InRun, class Run>
void for_each_run(std::u32string_view text, InRun in_run, Run run) {
    for (std::size_t i = 0; i < text.size();) {
        if (!in_run(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && in_run(text[end]))
            ++end;
        run(i, end);
        i = end;
    }
}

bool is_box_drawing(char32_t c) {
    return c >= 0x2500 && c < 0x2580;
}

// A line drawn in box drawing: three of one kind in a row («┌───┐»). No word of Russian letters
// shows so (KOI8-R's «д» is «─» in 866, and no word has «ддд»).
bool draws_a_line(std::u32string_view word) {
    for (std::size_t i = 0; i + 2 < word.size(); ++i) {
        if (is_box_drawing(word[i]) && word[i + 1] == word[i] && word[i + 2] == word[i])
            return true;
    }
    return false;
}

// A word of box drawing alone, of more than one kind and no line: KOI8-R's small letters shown
// in 866 or 437 («─╥╒╟╔┼» for «другие»).
bool is_drawn_word(std::u32string_view word) {
    return word.size() > 1 && std::all_of(word.begin(), word.end(), is_box_drawing) &&
           std::any_of(word.begin(), word.end(), [&](char32_t c) { return c != word[0]; }) &&
           !draws_a_line(word);
}

struct Quality {
    double cost = 0;  // the trigram cost of the whole word, marks included
    std::int64_t symbols = 1;
    int marks = 0;
    int russian = 0;  // Russian letters
    int letters = 0;  // letters of any script
    bool cyrillic_only = false;

    bool utf8_shown = false;   // written in some page it may have been shown in, it is UTF-8
    int foreign_cyrillic = 0;  // Cyrillic letters Russian does not have
    int capitals = 0;          // capital letters of any script
    int small = 0;             // small letters of any script
    int signs = 0;             // characters outside ASCII that are no letters
    int edge_punctuation = 0;  // of them, quotes and dashes at the word's edges
    int exotic = 0;        // characters of scripts no garbling of Russian makes (CJK, Arabic, ...)
    int accented = 0;      // Latin letters outside ASCII
    int inner_spaces = 0;  // no-break spaces and the like inside the word
    bool misplaced_quote = false;  // ends with an opening guillemet or quote, or starts with «»»

    double average() const { return -cost / static_cast<double>(symbols); }
    // A reading that shows no marks, makes no letters into signs, brings no letters of other
    // Cyrillic alphabets, and does not make capitals of a word in small letters (KOI8-R read as
    // 1251 and back swaps the case: a right word turns into «ДЯМЯЗ»).
    // Where the text shows its chain, a reading may open or close its word with a guillemet or
    // a quote that the garbling made a letter of (1251's «» shown as MacCyrillic: «Ђѕоиск»).
    bool clean_beside(const Quality& original, bool quotes_free = false) const {
        const bool no_russian = russian == 0 && foreign_cyrillic > 0;  // «Сі» into «ѳ»
        // A quote on the wrong side of its word: «uч» of a format string read as «u„».
        const bool misplaced = misplaced_quote && !original.misplaced_quote;
        return marks == 0 && !misplaced &&
               signs - (quotes_free ? edge_punctuation : 0) <= original.signs + original.marks &&
               exotic <= original.exotic && foreign_cyrillic <= original.foreign_cyrillic &&
               accented <= original.accented + original.signs + original.marks &&
               inner_spaces <= original.inner_spaces + original.signs && !no_russian;
    }
    // Capitals where a word in small letters had none, inside a sentence («върху» into «Ткаег»):
    // a garbling that takes capitals away leaves signs, marks or other alphabets' letters
    // behind (MacCyrillic's «Ю» shows as «ћ» in 1251).
    bool makes_capitals_of(const Quality& original) const {
        return original.capitals == 0 && original.small > 0 && original.signs == 0 &&
               original.foreign_cyrillic == 0 && capitals > 0 && !original.marked();
    }
    // Reads as a right Russian word, not only as no garbling: a reading in orders of letters
    // Russian does not have («рятчй») is no evidence of its own.
    bool reads_right() const { return letters < DOUBTFUL_LETTERS || average() >= DOUBTFUL_BELOW; }
    // A word in capitals in a text mostly in small letters: an abbreviation, which reads badly
    // as Russian letters without being garbled («ХТМЛ», «ПЪРВИ»).
    bool abbreviation = false;

    bool doubtful() const {
        return marks > 0 || utf8_shown ||
               (cyrillic_only && !abbreviation && letters >= DOUBTFUL_LETTERS &&
                average() < DOUBTFUL_BELOW);
    }
    // Garbled beyond doubt: marks, or UTF-8 shown through a page.
    bool marked() const { return marks > 0 || utf8_shown; }
};

Quality quality_of(std::u32string_view word) {
    Quality q;
    const PlausibilityMeasure measure = measure_plausibility(word);
    q.symbols = std::max<std::int64_t>(measure.symbols, 1);
    q.marks = count_mojibake_marks(word);
    q.cost = -measure.average * static_cast<double>(measure.symbols) + MARK_COST * q.marks;
    bool other_letters = false;
    for (const char32_t c : word) {
        if ((c >= U'A' && c <= U'Z') || (c >= 0x0400 && c <= 0x042F) || (c >= 0xC0 && c <= 0xDE))
            ++q.capitals;
        else if ((c >= U'a' && c <= U'z') || (c >= 0x0430 && c <= 0x045F) ||
                 (c >= 0xDF && c <= 0xFF))
            ++q.small;
        if (c >= 0x0370 && c <= 0x03FF) ++q.exotic;  // Greek: no garbling of Russian makes it
        const bool russian = is_russian_letter(c);
        q.russian += russian;
        if (russian || is_cyrillic_letter(c)) {
            ++q.letters;
            q.foreign_cyrillic += !russian;
        } else if (c >= 0x80 && !is_letter_like(c) && !is_space(c)) {
            ++q.signs;
            if ((c >= 0x0530 && c < 0x2000) || (c >= 0x2C00 && (c < 0xFE00 || c > 0xFFFF)))
                ++q.exotic;
        } else if (is_ascii_letter(c) || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7)) {
            ++q.letters;
            q.accented += c >= 0x80;
            other_letters = true;
        }
    }
    q.cyrillic_only = q.letters > 0 && !other_letters;
    // A guillemet or quote opening or closing a word of letters («Что, шаблоны»).
    if (word.size() > 1) {
        const auto quote = [](char32_t c) { return is_russian_punctuation(c) && c != 0x2116; };
        q.edge_punctuation = quote(word.front()) + (quote(word.back()) ? 1 : 0);
        q.misplaced_quote =
            word.back() == 0x00AB || word.back() == 0x201E || word.front() == 0x00BB;
    }
    // A no-break space at the edge of a word of letters stands beside a space or a line's end,
    // where it does nothing: there it is a sign a reading made («€ра» read as « Ёр»). Alone
    // between digits it groups them (866's 0xFF).
    if (word.size() > 1 && (is_space(word.front()) || is_space(word.back()))) ++q.signs;
    // Inside a word it parts two words of letters, which a reading of a right word's letters may
    // make («вляво» read as «ты тю»); counted apart, as no sign of its own.
    for (std::size_t i = 1; i + 1 < word.size(); ++i)
        q.inner_spaces += is_space(word[i]);
    q.cost += SIGN_COST * q.signs;
    if (q.small == 0 && q.capitals > 1) q.cost += CAPITALS_COST;

    // Each run of letters between characters that are no letters, as a word form: Russian
    // letters alone, a known form or not; with a letter of another Cyrillic alphabet, no Russian
    // form (a reading that keeps «ў» before «ука» is no nearer Russian than one that keeps
    // nothing). Runs with Latin letters are left to the marks.
    for (std::size_t i = 0; i < word.size();) {
        if (!is_letter_like(word[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        bool russian_only = true, cyrillic_only_run = true;
        while (end < word.size() && is_letter_like(word[end])) {
            russian_only = russian_only && is_russian_letter(word[end]);
            cyrillic_only_run = cyrillic_only_run && is_cyrillic_letter(word[end]);
            ++end;
        }
        if (russian_only) {
            if (end - i <= static_cast<std::size_t>(WORD_FORM_LETTERS) &&
                !is_known_word_form(encoding::utf8_of(word.substr(i, end - i))))
                q.cost += UNKNOWN_FORM_COST;
        } else if (cyrillic_only_run) {
            q.cost += UNKNOWN_FORM_COST;
        }
        i = end;
    }
    return q;
}

// How much more plausible `to` reads than `from`, over the whole word: a reading of UTF-8 that
// halves the characters halves what they cost.
double gain(const Quality& from, const Quality& to) {
    return from.cost - to.cost;
}

// Whether a text reads as no text at all: below NO_TEXT_BELOW over enough symbols, and not for
// the most part writing the model cannot judge: Latin letters (Czech or Polish read poorly as
// Russian) or other scripts (Chinese, Arabic). Control characters, signs and Cyrillic letters
// in orders no language has are no text.
// Lines drawn in box drawing (a table's borders) are weighed as the blanks they stand for.
bool reads_as_no_text(std::u32string_view text) {
    std::u32string without_lines;
    if (std::any_of(text.begin(), text.end(), is_box_drawing)) {
        without_lines = text;
        for_each_run(text, is_word_character, [&](std::size_t from, std::size_t to) {
            if (draws_a_line(text.substr(from, to - from)))
                std::fill(without_lines.begin() + static_cast<std::ptrdiff_t>(from),
                          without_lines.begin() + static_cast<std::ptrdiff_t>(to), U' ');
        });
        text = without_lines;
    }
    const PlausibilityMeasure measure = measure_plausibility(text);
    if (measure.symbols < MIN_EVIDENCE || measure.average >= NO_TEXT_BELOW) return false;
    std::size_t foreign = 0, visible = 0;
    for (const char32_t c : text) {
        if (c == U' ' || c == U'\t' || c == U'\n' || c == U'\r') continue;
        ++visible;
        const bool latin =
            is_ascii_letter(c) || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
        const bool other_script = c >= 0x530 && !(c >= 0x2000 && c <= 0x2BFF) &&
                                  !(c >= 0x3000 && c <= 0x303F) && !(c >= 0xFE00 && c <= 0xFFFF);
        if (latin || other_script) ++foreign;
    }
    return foreign * 2 < visible;
}

TextChain with_layer(TextChain chain, TextLayer layer) {
    chain.layers[static_cast<std::size_t>(chain.count++)] = layer;
    return chain;
}

std::vector<TextLayer> all_layers() {
    std::vector<TextLayer> layers;
    for (const TextPage source : encoding::SOURCE_PAGES) {
        for (const TextPage shown : encoding::SHOWN_PAGES) {
            if (!encoding::same_characters(shown, source)) layers.push_back({shown, source});
        }
    }
    return layers;
}

const std::vector<TextLayer>& layers() {
    static const std::vector<TextLayer> all = all_layers();
    return all;
}

// A text cut into words and what lies between them.
struct Word {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t distinct = 0;     // index into the distinct words, for suspect words
    bool suspect = false;         // holds a character outside ASCII
    bool opens_sentence = false;  // first on its line, or after «.», «!», «?»
};

struct Distinct {
    std::u32string text;
    Quality quality;
    std::size_t count = 0;
};

struct Segmented {
    std::vector<Word> words;
    std::vector<Distinct> distinct;
    // Spans: runs of suspect words on one line with no other word between them, as ranges
    // of `words`.
    std::vector<std::pair<std::size_t, std::size_t>> spans;
};

// One chain's reading of a word.
struct WordReading {
    bool converted = false;
    std::u32string text;
    Quality quality;
};

struct WordHash {
    using is_transparent = void;
    std::size_t operator()(std::u32string_view word) const {
        return std::hash<std::u32string_view>{}(word);
    }
};
template <class Value>
using ByWord = std::unordered_map<std::u32string, Value, WordHash, std::equal_to<>>;

// What words are like, kept from piece to piece of one text, as its words recur: as given, and
// as each chain reads them.
struct WordQualities {
    // Words enough for any text's vocabulary, and chains enough for any text's garblings; past
    // them, words are weighed anew each time.
    static constexpr std::size_t MOST = 1 << 16;
    static constexpr std::size_t MOST_CHAINS = 64;
    ByWord<Quality> known;
    // A deque: the readings of one chain stay where they are while another's are added.
    std::deque<std::pair<TextChain, ByWord<WordReading>>> readings;

    ByWord<WordReading>* readings_by(const TextChain& chain) {
        for (auto& [by, read] : readings) {
            if (by == chain) return &read;
        }
        if (readings.size() == MOST_CHAINS) return nullptr;
        return &readings.emplace_back(chain, ByWord<WordReading>{}).second;
    }
};

// The quality of a word as given (not of a reading): with whether it shows UTF-8.
Quality given_quality(std::u32string_view word, WordQualities* qualities) {
    if (qualities != nullptr) {
        const auto found = qualities->known.find(word);
        if (found != qualities->known.end()) return found->second;
    }
    Quality quality = quality_of(word);
    // Only the words as given are asked this: a reading that is UTF-8 yet is made doubtful by
    // its marks or its letters.
    if (quality.marks == 0) quality.utf8_shown = shows_utf8(word);
    if (qualities != nullptr && qualities->known.size() < WordQualities::MOST)
        qualities->known.emplace(word, quality);
    return quality;
}

// How many letters at `at` end a printf directive begun before it («%2lu», «%s»): its length
// modifiers and its conversion, when a word's letters follow right after; 0 otherwise.
std::size_t directive_letters_at(std::u32string_view text, std::size_t at) {
    std::size_t start = at;
    while (start > 0 &&
           (text[start - 1] == U'.' || text[start - 1] == U'-' || text[start - 1] == U'+' ||
            text[start - 1] == U'#' || (text[start - 1] >= U'0' && text[start - 1] <= U'9')))
        --start;
    if (start == 0 || text[start - 1] != U'%') return 0;
    std::size_t end = at;
    while (end < text.size() && end - at < 2 &&
           std::u32string_view(U"hlLqjzt").find(text[end]) != std::u32string_view::npos)
        ++end;
    if (end >= text.size() ||
        std::u32string_view(U"diouxXeEfFgGaAcspn").find(text[end]) == std::u32string_view::npos)
        return 0;
    ++end;
    return end < text.size() && text[end] >= 0x80 && is_word_character(text[end]) ? end - at : 0;
}

// `known`: the qualities of words met before, to take from and add to; none when null.
Segmented segment(std::u32string_view text, WordQualities* known = nullptr) {
    Segmented s;
    // Words of right text average over six characters with their spaces.
    s.words.reserve(text.size() / 6);
    std::unordered_map<std::u32string_view, std::size_t> index;
    for (std::size_t i = 0; i < text.size();) {
        if (!is_word_character(text[i])) {
            ++i;
            continue;
        }
        // A printf directive's letters belong to it, not to the word after it («%2uч»: hours).
        const std::size_t directive = directive_letters_at(text, i);
        if (directive > 0) {
            i += directive;
            continue;
        }
        Word word;
        word.begin = i;
        while (i < text.size() && is_word_character(text[i])) {
            word.suspect = word.suspect || text[i] >= 0x80;
            ++i;
        }
        word.end = i;
        if (word.suspect) {
            const std::u32string_view view = text.substr(word.begin, word.end - word.begin);
            const auto [at, added] = index.try_emplace(view, s.distinct.size());
            if (added) s.distinct.push_back({std::u32string(view), given_quality(view, known), 0});
            word.distinct = at->second;
            ++s.distinct[at->second].count;
        }
        // What stands between the word before (or the line's start) and this one.
        std::size_t back = word.begin;
        word.opens_sentence = true;
        while (back > 0) {
            const char32_t c = text[back - 1];
            if (c == U'\n') break;
            if (c == U'.' || c == U'!' || c == U'?') break;
            if (is_word_character(c) || (c >= U'0' && c <= U'9') || c == U',' || c == U';' ||
                c == U':' || c == U'-') {
                word.opens_sentence = false;
                break;
            }
            --back;
        }
        s.words.push_back(word);
    }
    // Which Cyrillic words are in capitals: most of them, as in KOI8-R shown as 1251 (whose
    // small letters show as capitals), or a few among small ones, abbreviations.
    std::size_t in_capitals = 0, cyrillic_words = 0;
    for (const Distinct& d : s.distinct) {
        if (!d.quality.cyrillic_only) continue;
        cyrillic_words += d.count;
        if (d.quality.small == 0 && d.quality.capitals > 1) in_capitals += d.count;
    }
    if (in_capitals * 2 < cyrillic_words) {
        for (Distinct& d : s.distinct)
            d.quality.abbreviation = d.quality.small == 0 && d.quality.capitals > 1;
    }
    for (std::size_t w = 0; w < s.words.size();) {
        if (!s.words[w].suspect) {
            ++w;
            continue;
        }
        std::size_t end = w + 1;
        while (end < s.words.size() && s.words[end].suspect &&
               text.substr(s.words[end - 1].end, s.words[end].begin - s.words[end - 1].end)
                       .find(U'\n') == std::u32string_view::npos) {
            ++end;
        }
        s.spans.emplace_back(w, end);
        w = end;
    }
    return s;
}

// One chain's reading of each distinct word, made when first asked for.
class ChainReadings {
  public:
    // `known`: the chain's readings of words met before, to take from and add to, or null.
    ChainReadings(TextChain chain, const std::vector<Distinct>& distinct,
                  ByWord<WordReading>* known = nullptr)
        : chain_(chain), distinct_(&distinct), readings_(distinct.size()), known_(known) {}

    const TextChain& chain() const { return chain_; }

    using Reading = WordReading;
    const Reading& of(std::size_t word) {
        std::optional<Reading>& reading = readings_[word];
        if (reading) return *reading;
        const std::u32string& text = (*distinct_)[word].text;
        if (known_ != nullptr) {
            const auto found = known_->find(text);
            if (found != known_->end()) return reading.emplace(found->second);
        }
        reading.emplace();
        reading->converted = apply_text_chain(chain_, text, reading->text);
        if (reading->converted) reading->quality = quality_of(reading->text);
        if (known_ != nullptr && known_->size() < WordQualities::MOST)
            known_->emplace(text, *reading);
        return *reading;
    }
    // How much the word gains read so; 0 when it does not convert or loses.
    double gain_of(std::size_t word) {
        const Reading& reading = of(word);
        if (!reading.converted) return 0;
        return std::max(0.0, gain((*distinct_)[word].quality, reading.quality));
    }
    // The same, counted only where the reading reads as clean Russian.
    double clean_gain_of(std::size_t word) {
        const Reading& reading = of(word);
        if (!reading.converted || !reading.quality.clean_beside((*distinct_)[word].quality))
            return 0;
        return std::max(0.0, gain((*distinct_)[word].quality, reading.quality));
    }

  private:
    TextChain chain_;
    const std::vector<Distinct>* distinct_;
    std::vector<std::optional<Reading>> readings_;
    ByWord<WordReading>* known_;
};

// The chain applied to `text`; `bytes` holds what its last layer read, which is the UTF-8 of
// `out` when that layer reads UTF-8.
bool apply_chain(const TextChain& chain, std::u32string_view text, std::u32string& out,
                 std::string& bytes) {
    if (chain.count == 0) {
        out.assign(text);
        bytes.clear();
        return true;
    }
    std::u32string between;
    std::u32string_view from = text;
    for (int i = 0; i < chain.count; ++i) {
        const TextLayer& layer = chain.layers[static_cast<std::size_t>(i)];
        std::u32string& into = i + 1 == chain.count ? out : between;
        // `from` is read to the end before `into` (which it may be) is written.
        if (!encoding::write_text(layer.shown, from, bytes) ||
            !encoding::read_text(layer.source, bytes, into))
            return false;
        from = into;
    }
    return true;
}

// The chains worth trying, the most convincing first; `shown`: the first is the chain the whole
// text shows clearly, which may repair spans too short to tell on their own.
struct Learnt {
    std::vector<TextChain> chains;
    bool shown = false;
};

// The chains that make the doubtful words read more plausibly, layer by layer.
Learnt learn_chains(const std::vector<Distinct>& all) {
    // The sample's words on their own: each chain tried keeps readings for these only, not a
    // slot for every word of a long text (which cost more than the readings themselves).
    std::vector<Distinct> distinct;
    for (std::size_t i = 0; i < all.size() && distinct.size() < LEARNING_WORDS; ++i) {
        if (all[i].quality.doubtful()) distinct.push_back(all[i]);
    }
    if (distinct.empty()) return {};
    std::vector<std::size_t> sample(distinct.size());
    std::iota(sample.begin(), sample.end(), std::size_t{0});
    double sample_weight = 0;
    for (const std::size_t word : sample)
        sample_weight += static_cast<double>(distinct[word].count);
    struct Tried {
        TextChain chain;
        double evidence = 0;         // gain over the sample, readings of any kind
        double clean_evidence = 0;   // gain where the reading reads as clean Russian
        double marked_evidence = 0;  // the same over the words garbled beyond doubt
        bool still_doubtful = false;
        double doubtful_weight = 0;  // of the sample's words, those read doubtful or not at all
    };
    const auto try_chain = [&](const TextChain& chain) {
        ChainReadings readings(chain, distinct);
        Tried tried{chain};
        for (const std::size_t word : sample) {
            const double weight = static_cast<double>(distinct[word].count);
            tried.evidence += weight * readings.gain_of(word);
            tried.clean_evidence += weight * readings.clean_gain_of(word);
            if (distinct[word].quality.marked())
                tried.marked_evidence += weight * readings.clean_gain_of(word);
            const auto& reading = readings.of(word);
            if (reading.converted && reading.quality.doubtful()) tried.still_doubtful = true;
            if (!reading.converted || reading.quality.doubtful()) tried.doubtful_weight += weight;
        }
        return tried;
    };
    const auto best_of = [](std::vector<Tried>& tried) {
        std::stable_sort(tried.begin(), tried.end(),
                         [](const Tried& a, const Tried& b) { return a.evidence > b.evidence; });
        if (tried.size() > BEAM) tried.resize(BEAM);
    };

    std::vector<Tried> kept;
    std::vector<Tried> level;
    for (const TextLayer& layer : layers()) {
        Tried tried = try_chain(with_layer({}, layer));
        if (tried.evidence >= CHAIN_MARGIN) level.push_back(tried);
    }
    best_of(level);
    for (int depth = 2; depth <= MAX_TEXT_LAYERS && !level.empty(); ++depth) {
        kept.insert(kept.end(), level.begin(), level.end());
        // The best chain reads all but a few words so that none looks garbled: no layer beneath
        // it to look for.
        if (level.front().doubtful_weight * 10 <= sample_weight) break;
        std::vector<Tried> next;
        for (const Tried& parent : level) {
            if (!parent.still_doubtful) continue;  // nothing left for another layer to undo
            for (const TextLayer& layer : layers()) {
                Tried tried = try_chain(with_layer(parent.chain, layer));
                if (tried.evidence >= parent.evidence + LAYER_MARGIN) next.push_back(tried);
            }
        }
        best_of(next);
        level = std::move(next);
    }
    kept.insert(kept.end(), level.begin(), level.end());
    std::stable_sort(kept.begin(), kept.end(), [](const Tried& a, const Tried& b) {
        return a.clean_evidence > b.clean_evidence;
    });
    std::vector<TextChain> chains;
    for (const Tried& tried : kept) {
        if (tried.clean_evidence > 0) chains.push_back(tried.chain);
    }
    // The first is the chain the whole text shows: only when it shows it clearly.
    // Only words garbled beyond doubt show it: a text in another Cyrillic language has many
    // words that read badly as Russian, and some chain reads a few of them better.
    return {chains, !kept.empty() && kept.front().marked_evidence >= CHAIN_MARGIN};
}

// What a caller wants of a repair: all of it, or only its text (a line of a long text, say),
// which spares weighing the whole text by every chain.
enum class Wanted { everything, text };

// Repairs the spans of `text` with the chains learnt.
TextRepair repair_with(std::u32string_view text, const Segmented& s,
                       const std::vector<TextChain>& chains, bool shown,
                       Wanted wanted = Wanted::everything, WordQualities* known = nullptr) {
    TextRepair repair;
    std::vector<ChainReadings> readings;
    readings.reserve(chains.size());
    for (const TextChain& chain : chains)
        readings.emplace_back(chain, s.distinct,
                              known != nullptr ? known->readings_by(chain) : nullptr);

    // Which chain repairs which word, if any.
    std::vector<int> chosen(s.words.size(), -1);
    std::vector<bool> used(chains.size(), false);
    bool garbled_left = false;
    // A text whose suspect words look garbled for the most part: there the chain it shows also
    // takes spans that look right on their own (a lone «ù» for «—» between ASCII words).
    std::size_t suspect = 0, doubted = 0;
    for (const Word& word : s.words) {
        if (!word.suspect) continue;
        ++suspect;
        doubted += s.distinct[word.distinct].quality.doubtful();
    }
    const bool mostly_garbled = shown && doubted * 2 > suspect;
    // In the span so repaired, every word that shows marks and reads without them changes
    // (an abbreviation may read worse as Russian than its garbling), and every other word
    // that reads clean and not clearly worse (a right word the chain garbles gets marks).
    const auto take_span = [&](std::size_t first, std::size_t last, int best) {
        ChainReadings& by = readings[static_cast<std::size_t>(best)];
        for (std::size_t w = first; w < last; ++w) {
            const std::size_t word = s.words[w].distinct;
            const auto& reading = by.of(word);
            if (!reading.converted ||
                !reading.quality.clean_beside(s.distinct[word].quality, best == 0 && shown))
                continue;
            if (!s.words[w].opens_sentence &&
                (reading.quality.makes_capitals_of(s.distinct[word].quality) ||
                 (!(best == 0 && shown) &&
                  capital_of_foreign_small(s.distinct[word].text, reading.text))))
                continue;
            const Quality& given = s.distinct[word].quality;
            const double g = gain(given, reading.quality);
            if (given.marks > 0 || g >= -SPAN_MARGIN) chosen[w] = best;
        }
        if (!used[static_cast<std::size_t>(best)]) {
            used[static_cast<std::size_t>(best)] = true;
            repair.chains.push_back(chains[static_cast<std::size_t>(best)]);
        }
    };
    // Spans that look right but hold letters of another Cyrillic alphabet: MacCyrillic's
    // capitals shown in 1251 («ќта» for «Эта») read too well to look doubtful on their own.
    std::vector<std::pair<std::size_t, std::size_t>> foreign_spans;
    for (const auto& [first, last] : s.spans) {
        bool doubtful = false;
        bool foreign = false;
        for (std::size_t w = first; w < last; ++w) {
            const Quality& q = s.distinct[s.words[w].distinct].quality;
            doubtful = doubtful || q.doubtful();
            foreign = foreign || q.foreign_cyrillic > 0;
        }
        if (foreign) foreign_spans.emplace_back(first, last);
        // Words of box drawing alone read badly as nothing; where the text shows its chain,
        // the span is weighed by it.
        bool drawn = false;
        for (std::size_t w = first; w < last && shown && !drawn; ++w)
            drawn = is_drawn_word(s.distinct[s.words[w].distinct].text);
        if (!doubtful && !mostly_garbled && !drawn) continue;
        int best = -1;
        double best_gain = 0;
        for (std::size_t c = 0; c < readings.size(); ++c) {
            double span_gain = 0;
            int letters = 0;
            bool right = true;
            // A chain that cannot read some word's letters of another Cyrillic alphabet as
            // Russian does not explain the span's: they are that alphabet's («Ѓорѓи», whose
            // «ѓ» inside the word no garbling of Russian makes).
            bool explains = true;
            for (std::size_t w = first; w < last && explains; ++w) {
                const Distinct& d = s.distinct[s.words[w].distinct];
                // (A character alone is weighed on its own, below.)
                if (d.quality.foreign_cyrillic == 0 || d.quality.marked() || d.text.size() == 1)
                    continue;
                const auto& reading = readings[c].of(s.words[w].distinct);
                explains = reading.converted && reading.quality.clean_beside(d.quality, true) &&
                           reading.quality.foreign_cyrillic < d.quality.foreign_cyrillic;
            }
            if (!explains) continue;
            for (std::size_t w = first; w < last; ++w) {
                const std::size_t word = s.words[w].distinct;
                const double g = readings[c].clean_gain_of(word);
                if (g <= 0 ||
                    (!s.words[w].opens_sentence &&
                     (readings[c].of(word).quality.makes_capitals_of(s.distinct[word].quality) ||
                      (!(c == 0 && shown) && capital_of_foreign_small(s.distinct[word].text,
                                                                      readings[c].of(word).text)))))
                    continue;
                span_gain += g;
                letters += readings[c].of(word).quality.russian;
                right = right && readings[c].of(word).quality.reads_right();
            }
            const bool own_evidence =
                span_gain >= SPAN_MARGIN && letters >= OWN_EVIDENCE_LETTERS && right;
            const bool text_evidence = c == 0 && shown && span_gain > 0;
            if (!doubtful && !text_evidence) continue;  // a right-looking span: only so
            if ((own_evidence || text_evidence) && span_gain > best_gain) {
                best = static_cast<int>(c);
                best_gain = span_gain;
            }
        }
        if (best < 0) {
            ++repair.doubtful_left;
            for (std::size_t w = first; w < last; ++w)
                garbled_left = garbled_left || s.distinct[s.words[w].distinct].quality.marks > 0;
            continue;
        }
        take_span(first, last, best);
    }
    // Such a span changes by a chain the rest of the text was repaired with, where that chain
    // reads each of its foreign letters' words as Russian, more plausibly.
    for (const auto& [first, last] : foreign_spans) {
        if (std::any_of(chosen.begin() + static_cast<std::ptrdiff_t>(first),
                        chosen.begin() + static_cast<std::ptrdiff_t>(last),
                        [](int c) { return c >= 0; }))
            continue;
        for (std::size_t c = 0; c < readings.size(); ++c) {
            if (!used[c]) continue;
            bool reads = true;
            for (std::size_t w = first; w < last && reads; ++w) {
                const std::size_t word = s.words[w].distinct;
                if (s.distinct[word].quality.foreign_cyrillic == 0) continue;
                const auto& reading = readings[c].of(word);
                reads = reading.converted && reading.quality.foreign_cyrillic == 0 &&
                        readings[c].clean_gain_of(word) > 0;
            }
            if (!reads) continue;
            take_span(first, last, static_cast<int>(c));
            break;
        }
    }
    // A character standing alone where the text's chain reads a letter or a dash as no word
    // could: a no-break space between spaces is 866's «а» shown in 1251 (1251's «я» in 866;
    // between digits it groups them, and stays), «ù» between words 1251's «—» shown in 437,
    // «Ђ~ї» 1251's «~» in guillemets shown as MacCyrillic. And in a text garbled for the most
    // part, a letter of another script alone beside a word the chain changed is a Russian letter
    // alone («Ø â. Ô.» for «и т. д.» in ISO-8859-5 shown as Latin-1).
    if (shown && !chains.empty() && used[0]) {
        const auto blank = [&](std::size_t at) {
            return at >= text.size() || text[at] == U' ' || text[at] == U'\t' ||
                   text[at] == U'\n' || text[at] == U'\r';
        };
        const auto no_letter = [&](std::size_t at) {
            return at >= text.size() || !is_word_character(text[at]);
        };
        for (std::size_t w = 0; w < s.words.size(); ++w) {
            const Word& word = s.words[w];
            if (!word.suspect || chosen[w] >= 0 || word.end - word.begin != 1) continue;
            const char32_t given = text[word.begin];
            const bool before_blank = word.begin == 0 || blank(word.begin - 1);
            const auto& reading = readings[0].of(word.distinct);
            if (!reading.converted || reading.text.size() != 1) continue;
            const char32_t read = reading.text[0];
            const bool letter_for_space =
                is_space(given) && before_blank && blank(word.end) && is_russian_letter(read);
            // (A Russian letter alone beside right words is rather an abbreviation: «2ч».)
            const bool punctuation_for_letter =
                !is_space(given) && !is_punctuation(given) && is_russian_punctuation(read) &&
                (mostly_garbled || !is_russian_letter(given)) &&
                (word.begin == 0 || no_letter(word.begin - 1)) && no_letter(word.end);
            const bool beside_changed =
                (w > 0 && chosen[w - 1] == 0) || (w + 1 < s.words.size() && chosen[w + 1] == 0);
            const bool letter_for_letter = mostly_garbled && beside_changed &&
                                           is_letter_like(given) && !is_russian_letter(given) &&
                                           is_russian_letter(read);
            if (letter_for_space || punctuation_for_letter || letter_for_letter) chosen[w] = 0;
        }
    }

    std::u32string out;
    out.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t w = 0; w < s.words.size(); ++w) {
        if (chosen[w] < 0) continue;
        const Word& word = s.words[w];
        out.append(text.substr(at, word.begin - at));
        out.append(readings[static_cast<std::size_t>(chosen[w])].of(word.distinct).text);
        at = word.end;
        repair.changed = true;
    }
    out.append(text.substr(at));
    repair.text = encoding::utf8_of(out);
    if (wanted == Wanted::text) return repair;
    // Marks left that nothing removed, or a repair that still reads as no text at all (bytes
    // that are no text read in some page): the text is left as it is.
    repair.garbled = (!repair.changed && garbled_left) || reads_as_no_text(out);

    // The whole text read by each chain, for those who list readings.
    for (std::size_t c = 0; c < readings.size(); ++c) {
        std::u32string whole;
        whole.reserve(text.size());
        std::size_t from = 0;
        bool converted = true;
        for (const Word& word : s.words) {
            if (!word.suspect) continue;
            const auto& reading = readings[c].of(word.distinct);
            if (!reading.converted) {
                converted = false;
                break;
            }
            whole.append(text.substr(from, word.begin - from));
            whole.append(reading.text);
            from = word.end;
        }
        if (!converted) continue;
        whole.append(text.substr(from));
        if (whole == text) continue;
        std::string whole_text = encoding::utf8_of(whole);
        if (std::any_of(repair.readings.begin(), repair.readings.end(),
                        [&](const WholeReading& r) { return r.text == whole_text; }))
            continue;  // the same text by a longer way
        const Quality q = quality_of(whole);
        repair.readings.push_back({chains[c], std::move(whole_text), q.average()});
    }
    std::stable_sort(repair.readings.begin(), repair.readings.end(),
                     [](const WholeReading& a, const WholeReading& b) {
                         return a.plausibility > b.plausibility;
                     });
    // In parts: more than one chain, or one chain that left some words as they were.
    if (repair.changed) {
        repair.in_parts =
            repair.chains.size() > 1 ||
            std::none_of(repair.readings.begin(), repair.readings.end(),
                         [&](const WholeReading& r) { return r.text == repair.text; });
    }
    return repair;
}

// The garblings common enough to be taken on a word or two: UTF-8 shown anywhere, 1251 shown
// through Western and DOS pages, and the old Cyrillic pages shown as 1251.
bool is_common_layer(const TextLayer& layer) {
    switch (layer.source) {
        case TextPage::utf8:
            return true;
        case TextPage::cp1251:
            return layer.shown == TextPage::cp866 || layer.shown == TextPage::cp1252 ||
                   layer.shown == TextPage::latin1 || layer.shown == TextPage::cp437 ||
                   layer.shown == TextPage::cp850;
        case TextPage::cp866:
        case TextPage::iso88595:
        case TextPage::maccyrillic:
            return layer.shown == TextPage::win1251 || layer.shown == TextPage::cp1252;
        case TextPage::koi8r:
            return layer.shown == TextPage::win1251 || layer.shown == TextPage::cp1252 ||
                   layer.shown == TextPage::latin1;
        default:
            return false;
    }
}

// Whether every run of Russian letters of up to WORD_FORM_LETTERS letters is a known form.
bool all_known_forms(std::u32string_view text, int& russian) {
    russian = 0;
    bool known = true;
    for_each_run(text, is_russian_letter, [&](std::size_t from, std::size_t to) {
        russian += static_cast<int>(to - from);
        if (to - from <= static_cast<std::size_t>(WORD_FORM_LETTERS) &&
            !is_known_word_form(encoding::utf8_of(text.substr(from, to - from))))
            known = false;
    });
    return known;
}

// The signs outside ASCII in the words of a text.
int signs_in(std::u32string_view text) {
    const Segmented s = segment(text);
    int signs = 0;
    for (const Word& word : s.words) {
        if (word.suspect) signs += s.distinct[word.distinct].quality.signs;
    }
    return signs;
}

// A text of a word or two is little evidence for the trigrams: there a common garbling whose
// reading consists of known word forms only, while the text as given does not, is taken when
// it is more plausible by the margin of a span than the text as given.
void repair_short_text(std::u32string_view text, const Segmented& s, TextRepair& repair) {
    int letters = 0;
    double cost = 0;
    for (const Word& word : s.words) {
        if (!word.suspect) continue;
        letters += s.distinct[word.distinct].quality.letters;
        if (letters > SHORT_TEXT_LETTERS) return;  // no short text: nothing more to weigh
        cost += s.distinct[word.distinct].quality.cost;
    }
    bool doubt = false;
    for (const Word& word : s.words) {
        if (!word.suspect) continue;
        const Quality& q = s.distinct[word.distinct].quality;
        int russian = 0;
        // Garbled beyond doubt, or in capitals alone as KOI8-R's and ISO-8859-5's small letters
        // show in 1251, and no known form.
        // Also a word with a sign or another alphabet's letter where a capital would stand, as
        // 866 and MacCyrillic show their capitals in 1251 («€ра», «™ит»).
        const std::u32string& text_of_word = s.distinct[word.distinct].text;
        const bool looks_shown = (q.cyrillic_only && q.small == 0 && q.capitals > 0) ||
                                 (q.cyrillic_only && q.doubtful()) || q.signs > 0 ||
                                 q.foreign_cyrillic > 0;
        // A sign that is no punctuation, or another alphabet's letter, right before a Russian
        // letter at the word's start: the capital it stands for.
        const bool odd_start = text_of_word.size() > 1 && is_cyrillic_letter(text_of_word[1]) &&
                               !is_russian_letter(text_of_word[0]) &&
                               (is_cyrillic_letter(text_of_word[0]) ||
                                (text_of_word[0] >= 0x80 && !is_letter_like(text_of_word[0]) &&
                                 !is_punctuation(text_of_word[0])));
        doubt = doubt || q.marked() ||
                (looks_shown && (odd_start || !all_known_forms(text_of_word, russian)));
    }
    if (!doubt || letters == 0 || letters > SHORT_TEXT_LETTERS) return;
    const WholeReading* best = nullptr;
    WholeReading candidate;
    double best_cost = cost - SPAN_MARGIN;
    // A repair the text's own chains made gives way only to a reading with fewer signs: a chain
    // learnt on a word or two may make signs of letters («сЦ» into «с–» for «ёж»).
    int fewest_signs = std::numeric_limits<int>::max();
    if (repair.changed) fewest_signs = signs_in(encoding::code_points_of(repair.text)) - 1;
    for (const TextLayer& layer : layers()) {
        if (!is_common_layer(layer)) continue;
        std::u32string whole;
        double reading_cost = 0;
        int reading_signs = 0;
        bool usable = true;
        std::size_t from = 0;
        std::u32string read;
        for (const Word& word : s.words) {
            if (!word.suspect) continue;
            const Distinct& d = s.distinct[word.distinct];
            if (!encoding::reread_text(layer.shown, layer.source, d.text, read)) {
                usable = false;
                break;
            }
            const Quality q = quality_of(read);
            // A capitalised word taken for a garbled small one, or a word in small letters for
            // a garbled one in capitals (KOI8-R's): too little to tell them apart.
            const bool capital_lost = is_capitalised_russian(d.text) && !read.empty() &&
                                      !is_russian_capital(read[0]) && !d.quality.marked();
            const bool capitals_made = d.quality.capitals == 0 && q.capitals > 1 &&
                                       !d.quality.marked() && d.quality.signs == 0;
            if (!q.clean_beside(d.quality) || q.foreign_cyrillic > 0 || capital_lost ||
                capitals_made) {
                usable = false;
                break;
            }
            reading_cost += q.cost;
            reading_signs += q.signs;
            whole.append(text.substr(from, word.begin - from));
            whole.append(read);
            from = word.end;
        }
        if (!usable) continue;
        whole.append(text.substr(from));
        int russian = 0;
        // Of the readings that qualify, the one with the fewest signs, then the most plausible:
        // a wrong reading may make signs of letters, which the trigrams take for word ends.
        if (!all_known_forms(whole, russian) || russian == 0 ||
            reading_cost >= cost - SPAN_MARGIN || reading_signs > fewest_signs ||
            (reading_signs == fewest_signs && reading_cost >= best_cost))
            continue;
        fewest_signs = reading_signs;
        best_cost = reading_cost;
        candidate = {with_layer({}, layer), encoding::utf8_of(whole), 0};
        best = &candidate;
    }
    if (best == nullptr) return;
    repair.text = best->text;
    repair.changed = true;
    repair.garbled = false;
    repair.in_parts = false;
    repair.chains = {best->chain};
    repair.readings.insert(repair.readings.begin(), *best);
}

}  // namespace

std::string chain_steps(const TextChain& chain) {
    std::string steps;
    for (int i = 0; i < chain.count; ++i) {
        const TextLayer& layer = chain.layers[static_cast<std::size_t>(i)];
        if (!steps.empty()) steps += " \xE2\x86\x92 ";
        steps += encoding::text_page_name(layer.shown);
        steps += " \xE2\x86\x92 ";
        steps += encoding::text_page_name(layer.source);
    }
    return steps;
}

bool apply_text_chain(const TextChain& chain, std::u32string_view text, std::u32string& out) {
    std::string bytes;
    return apply_chain(chain, text, out, bytes);
}

TextRepair repair_text(std::u32string_view seen) {
    const Segmented s = segment(seen);
    const Learnt learnt = learn_chains(s.distinct);
    TextRepair repair = repair_with(seen, s, learnt.chains, learnt.shown);
    repair_short_text(seen, s, repair);
    return repair;
}

TextRepair repair_text(std::string_view seen) {
    return repair_text(encoding::code_points_of(seen));
}

namespace {

// One piece repaired with the chains a start showed, `shown` as learn_chains says it.
TextRepair repair_piece(const std::vector<TextChain>& start, bool shown, std::string_view piece,
                        Wanted wanted, WordQualities* known) {
    const std::u32string text = encoding::code_points_of(piece);
    // Most pieces of a long garbled text are garbled the way its start is: when the chain the
    // start shows reads the whole piece without a mark where it had some, that is its repair
    // (as the spans would have it), found without weighing a word.
    if (shown && !start.empty() && shows_mojibake_marks(text)) {
        const TextChain& chain = start.front();
        std::u32string whole;
        std::string bytes;
        if (apply_chain(chain, text, whole, bytes) && !shows_mojibake_marks(whole)) {
            TextRepair repair;
            // What a last layer read as UTF-8 is the text's UTF-8 already.
            const bool read_as_utf8 =
                chain.layers[static_cast<std::size_t>(chain.count - 1)].source == TextPage::utf8;
            repair.text = read_as_utf8 ? std::move(bytes) : encoding::utf8_of(whole);
            repair.changed = whole != text;
            repair.chains = {chain};
            return repair;
        }
    }
    const Segmented s = segment(text, known);
    TextRepair repair = repair_with(text, s, start, shown, wanted, known);
    if (repair.doubtful_left == 0) return repair;
    // The chains the start showed; a piece garbled otherwise brings its own.
    std::vector<TextChain> chains = start;
    for (const TextChain& chain : learn_chains(s.distinct).chains) {
        if (std::find(chains.begin(), chains.end(), chain) == chains.end()) chains.push_back(chain);
    }
    if (chains.size() == start.size()) return repair;
    return repair_with(text, s, chains, shown, wanted, known);
}

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

struct PieceRepair::Words : WordQualities {};

PieceRepair::PieceRepair(std::string_view start) : known_(std::make_unique<Words>()) {
    const std::u32string text = encoding::code_points_of(start);
    const Learnt learnt = learn_chains(segment(text).distinct);
    candidates_ = learnt.chains;
    shown_ = learnt.shown;
}

PieceRepair::~PieceRepair() = default;

TextRepair PieceRepair::repair(std::string_view piece) const {
    return repair_piece(candidates_, shown_, piece, Wanted::everything, known_.get());
}

void PieceRepair::append_repaired(std::string_view piece, std::string& out) const {
    // Nothing in ASCII is garbled, nor is anything changed there.
    if (is_ascii(piece)) {
        out.append(piece);
        return;
    }
    out += repair_piece(candidates_, shown_, piece, Wanted::text, known_.get()).text;
}

std::string repair_label(const TextRepair& repair, std::string_view origin) {
    if (!repair.changed || repair.chains.empty()) return {};
    if (!repair.in_parts)
        return std::string(origin) + " \xE2\x86\x92 " + chain_steps(repair.chains[0]);
    std::string label = "по частям: ";
    for (std::size_t i = 0; i < repair.chains.size(); ++i) {
        if (i > 0) label += ", ";
        label += chain_steps(repair.chains[i]);
    }
    return label;
}

}  // namespace tavrik
