#include "engine/word_forms.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

#include "encoding/utf8.hpp"

namespace tavrik {

namespace {

constexpr int BITS_LOG2 = 22;
constexpr int HASHES = 3;
constexpr std::array<std::uint64_t, (std::size_t{1} << BITS_LOG2) / 64> WORD_FORM_BITS = {
#include "engine/lexicon/russian_word_forms.inc"
};

std::uint64_t splitmix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

// 1..32 for а..я with «ё» as «е»; 0 for a character that is not a Russian letter.
int letter_index(char32_t c, bool& capital) {
    capital = false;
    if (c == 0x0401 || c == 0x0451) {
        capital = c == 0x0401;
        c = 0x0435;
    } else if (c >= 0x0410 && c <= 0x042F) {
        capital = true;
        c += 0x20;
    }
    if (c >= 0x0430 && c <= 0x044F) return static_cast<int>(c - 0x0430) + 1;
    return 0;
}

bool is_letter(char32_t c) {
    bool capital = false;
    if (letter_index(c, capital) != 0) return true;
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
           (c >= 0x00C0 && c <= 0x024F && c != 0x00D7 && c != 0x00F7) ||
           (c >= 0x0370 && c <= 0x03FF) || (c >= 0x0400 && c <= 0x052F);
}

bool known_code(std::uint64_t code) {
    const std::uint64_t hash = splitmix64(code);
    constexpr std::uint64_t mask = (std::uint64_t{1} << BITS_LOG2) - 1;
    for (int k = 0; k < HASHES; ++k) {
        const std::uint64_t bit = (hash >> (k * BITS_LOG2)) & mask;
        if ((WORD_FORM_BITS[bit >> 6] >> (bit & 63) & 1u) == 0) return false;
    }
    return true;
}

}  // namespace

bool is_known_word_form(std::string_view word) {
    std::uint64_t code = 0;
    int letters = 0;
    for (std::size_t i = 0; i < word.size();) {
        bool capital = false;
        const int index = letter_index(encoding::utf8::next_or_replacement(word, i), capital);
        if (index == 0 || ++letters > WORD_FORM_LETTERS) return false;
        code = code * 33 + static_cast<std::uint64_t>(index);
    }
    return letters > 0 && known_code(code);
}

WordFormCount count_word_forms(std::string_view utf8) {
    WordFormCount count;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t start = i;
        const char32_t first = encoding::utf8::next_or_replacement(utf8, i);
        if (!is_letter(first)) {
            count.characters += first != U' ' && first != U'\t' && first != U'\n' && first != U'\r';
            continue;
        }
        // One word: its letters, whether all are Russian, and its case shape.
        std::size_t end = start;
        int letters = 0;
        int capitals = 0;
        bool russian = true;
        bool later_capital = false;
        for (std::size_t j = start; j < utf8.size();) {
            const char32_t c = encoding::utf8::next_or_replacement(utf8, j);
            if (!is_letter(c)) break;
            bool capital = false;
            if (letter_index(c, capital) == 0) russian = false;
            if (capital) {
                ++capitals;
                if (letters > 0) later_capital = true;
            }
            ++letters;
            end = j;
        }
        i = end;
        count.letters += letters;
        count.characters += letters;
        const bool cased_as_words = !later_capital || capitals == letters;
        if (russian && letters > WORD_FORM_LETTERS)
            ++count.longer;
        else if (russian && cased_as_words && is_known_word_form(utf8.substr(start, end - start)))
            ++count.known;
        else
            ++count.unknown;
    }
    return count;
}

}  // namespace tavrik
