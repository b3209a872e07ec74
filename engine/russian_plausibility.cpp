#include "engine/russian_plausibility.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <vector>

namespace tavrik {

namespace {

constexpr int ALPHABET = 34;  // the boundary and 33 letters
constexpr std::array<std::uint8_t, ALPHABET* ALPHABET* ALPHABET> TRIGRAM_COST = {
#include "engine/language_model/russian_trigrams.inc"
};

// Costs in the model's unit (an eighth of a bit).
constexpr int JUNK_COST = 96;        // a character that has no place in Russian text
constexpr int FOREIGN_COST = 24;     // a letter of another alphabet
constexpr int CASE_SHAPE_COST = 64;  // a capital right after a small letter, as in «рТЙЧЕФ»
// How much better, over the whole text, a later reading must be to displace an earlier one (16
// bits): a short text is little evidence, and earlier chains are the commoner garblings.
constexpr double PREFER_EARLIER = 128;

enum class Kind { Boundary, Letter, Foreign, Junk };

struct Character {
    Kind kind;
    int letter = 0;  // 1..33 for a Russian letter: а..е, ё, ж..я
    bool capital = false;
};

Character classify(char32_t cp) {
    if (cp >= 0x0430 && cp <= 0x044F) {
        const int index = static_cast<int>(cp - 0x0430);
        return {Kind::Letter, index < 6 ? index + 1 : index + 2, false};
    }
    if (cp >= 0x0410 && cp <= 0x042F) {
        const int index = static_cast<int>(cp - 0x0410);
        return {Kind::Letter, index < 6 ? index + 1 : index + 2, true};
    }
    if (cp == 0x0451) return {Kind::Letter, 7, false};  // ё
    if (cp == 0x0401) return {Kind::Letter, 7, true};   // Ё
    if ((cp >= U'a' && cp <= U'z') || (cp >= U'A' && cp <= U'Z')) return {Kind::Foreign};
    if (cp < 0x80) {
        return cp >= 0x20 || cp == U'\t' || cp == U'\n' || cp == U'\r' ? Character{Kind::Boundary}
                                                                       : Character{Kind::Junk};
    }
    switch (cp) {  // the punctuation of Russian typography
        case 0x00A0:
        case 0x00AB:
        case 0x00BB:
        case 0x2013:
        case 0x2014:
        case 0x2026:
        case 0x201C:
        case 0x201D:
        case 0x201E:
        case 0x2116:
            return {Kind::Boundary};
        default:
            return {Kind::Junk};
    }
}

// Decodes one character at `i`; an ill-formed byte is U+FFFD, one byte long.
char32_t next_code_point(std::string_view text, std::size_t& i) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char lead = p[i];
    const std::size_t left = text.size() - i;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF && left >= 2 && (p[i + 1] & 0xC0) == 0x80) {
        i += 2;
        return (char32_t{lead} & 0x1F) << 6 | (p[i - 1] & 0x3Fu);
    }
    if (lead >= 0xE0 && lead <= 0xEF && left >= 3 && (p[i + 1] & 0xC0) == 0x80 &&
        (p[i + 2] & 0xC0) == 0x80) {
        const char32_t cp =
            (char32_t{lead} & 0x0F) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
        if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
            i += 3;
            return cp;
        }
    }
    if (lead >= 0xF0 && lead <= 0xF4 && left >= 4 && (p[i + 1] & 0xC0) == 0x80 &&
        (p[i + 2] & 0xC0) == 0x80 && (p[i + 3] & 0xC0) == 0x80) {
        const char32_t cp = (char32_t{lead} & 0x07) << 18 | (p[i + 1] & 0x3Fu) << 12 |
                            (p[i + 2] & 0x3Fu) << 6 | (p[i + 3] & 0x3Fu);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            i += 4;
            return cp;
        }
    }
    ++i;
    return 0xFFFD;
}

}  // namespace

namespace {

struct Measure {
    double average = 0;        // minus the average cost per symbol
    std::int64_t symbols = 0;  // letters, boundaries and other characters measured
};

Measure measure(std::string_view utf8) {
    if (utf8.size() > PLAUSIBILITY_SAMPLE) utf8 = utf8.substr(0, PLAUSIBILITY_SAMPLE);
    std::int64_t cost = 0;
    std::int64_t symbols = 0;
    int before = 0, last = 0;  // the two symbols before, 0 for a boundary
    bool small_before = false;
    const auto add = [&](int symbol) {
        if (symbol == 0 && last == 0) return;  // a run of boundaries is one
        cost +=
            TRIGRAM_COST[static_cast<std::size_t>((before * ALPHABET + last) * ALPHABET + symbol)];
        ++symbols;
        before = last;
        last = symbol;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const Character c = classify(next_code_point(utf8, i));
        switch (c.kind) {
            case Kind::Letter:
                if (c.capital && small_before) cost += CASE_SHAPE_COST;
                small_before = !c.capital;
                add(c.letter);
                continue;
            case Kind::Junk:
                cost += JUNK_COST;
                break;
            case Kind::Foreign:
                cost += FOREIGN_COST;
                break;
            case Kind::Boundary:
                break;
        }
        small_before = false;
        if (c.kind != Kind::Boundary) ++symbols;
        add(0);
    }
    add(0);
    if (symbols == 0) return {};
    return {-static_cast<double>(cost) / static_cast<double>(symbols), symbols};
}

}  // namespace

double russian_plausibility(std::string_view utf8) {
    return measure(utf8).average;
}

namespace {

// The most plausible of the candidates `include` accepts, by the rule of
// most_plausible_candidate; -1 when it accepts none.
template <class Include>
int most_plausible_where(std::span<const Candidate> candidates, Include include) {
    // Candidates often share one text: measure each text once (when memory allows).
    std::vector<std::pair<const char*, Measure>> measured;
    int best = -1;
    Measure best_measure{-std::numeric_limits<double>::infinity(), 0};
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& candidate = candidates[i];
        if (!include(candidate)) continue;
        std::optional<Measure> known;
        for (const auto& [text, value] : measured) {
            if (text == candidate.text.get()) known = value;
        }
        if (!known) {
            known = measure(candidate.view());
            try {
                measured.emplace_back(candidate.text.get(), *known);
            } catch (const std::bad_alloc&) {
                // measured again if it comes up again
            }
        }
        const double gain = (known->average - best_measure.average) *
                            static_cast<double>(std::min(
                                known->symbols, std::max<std::int64_t>(best_measure.symbols, 1)));
        if (best < 0 || gain > PREFER_EARLIER) {
            best_measure = *known;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace

int most_plausible_candidate(std::span<const Candidate> candidates) {
    return std::max(0, most_plausible_where(candidates, [](const Candidate&) { return true; }));
}

int most_plausible_with_score(std::span<const Candidate> candidates, double score) {
    return most_plausible_where(candidates,
                                [score](const Candidate& c) { return c.score == score; });
}

}  // namespace tavrik
