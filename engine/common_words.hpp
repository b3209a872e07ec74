// The common Russian words, ready to be searched for: in UTF-8 text, and in text still in one
// of our single-byte code pages (a word that code page cannot hold is left out: it cannot occur).
#pragma once

#include <array>
#include <string_view>

#include "encoding/transcode.hpp"
#include "encoding/utf8.hpp"
#include "engine/text_score.hpp"
#include "engine/word_finder.hpp"

namespace tavrik {

namespace detail {

constexpr WordFinder make_utf8_common_words() {
    WordFinder finder;
    for (std::size_t w = 0; COMMON_WORDS[w] != nullptr; ++w) {
        if (!finder.add(COMMON_WORDS[w])) throw "a common word does not fit the finder";
    }
    return finder;
}

// The words are made of two-byte UTF-8 characters only.
constexpr WordFinder make_single_byte_common_words(std::size_t table) {
    WordFinder finder;
    for (std::size_t w = 0; COMMON_WORDS[w] != nullptr; ++w) {
        const std::string_view word = COMMON_WORDS[w];
        std::array<char, WordFinder::MAX_WORD_BYTES> bytes{};
        std::size_t length = 0;
        bool holdable = true;
        for (std::size_t i = 0; i + 1 < word.size(); i += 2) {
            if (encoding::utf8::announced_continuations(encoding::utf8::byte_at(word, i)) != 1)
                throw "common words are made of two-byte characters";
            const char32_t cp = encoding::utf8::assemble(word, i, 1);
            const std::int16_t byte = encoding::SINGLE_BYTE_ENCODERS[table].encode(cp);
            if (byte < 0)
                holdable = false;
            else
                bytes[length++] = static_cast<char>(byte);
        }
        if (holdable) finder.add(std::string_view(bytes.data(), length));
    }
    return finder;
}

constexpr auto make_all_single_byte_common_words() {
    std::array<WordFinder, encoding::transcode::TABLE_COUNT> finders{};
    for (std::size_t t = 0; t < finders.size(); ++t)
        finders[t] = make_single_byte_common_words(t);
    return finders;
}

}  // namespace detail

inline constexpr WordFinder COMMON_WORDS_IN_UTF8 = detail::make_utf8_common_words();
inline constexpr auto COMMON_WORDS_IN_SINGLE_BYTE = detail::make_all_single_byte_common_words();

}  // namespace tavrik
