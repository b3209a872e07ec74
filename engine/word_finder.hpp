// Finds whether any of a few short byte strings occurs in a text, in one pass: the first bytes
// at each position are hashed into a bit filter, and only positions that pass it are compared.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavrik {

class WordFinder {
  public:
    static constexpr std::size_t MAX_WORDS = 16;
    static constexpr std::size_t MAX_WORD_BYTES = 24;

    constexpr WordFinder() = default;

    // Keeps a copy of `word`. Words shorter than two or longer than MAX_WORD_BYTES bytes, and
    // words beyond MAX_WORDS, are refused (false).
    constexpr bool add(std::string_view word) {
        if (word.size() < 2 || word.size() > MAX_WORD_BYTES || count_ == MAX_WORDS) return false;
        std::copy(word.begin(), word.end(), words_[count_].begin());
        lengths_[count_] = word.size();
        ++count_;
        prefix_ = std::min(prefix_, word.size());
        std::array<unsigned char, 4> mask_bytes{};
        for (std::size_t k = 0; k < prefix_; ++k)
            mask_bytes[k] = 0xFF;
        mask_ = std::bit_cast<std::uint32_t>(mask_bytes);
        filter_ = {};
        for (std::size_t w = 0; w < count_; ++w) {
            std::array<char, 4> first{};
            std::copy_n(words_[w].begin(), 4, first.begin());
            prefixes_[w] = std::bit_cast<std::uint32_t>(first) & mask_;
            const std::uint32_t h = hash(prefixes_[w]);
            filter_[h >> 6] |= std::uint64_t{1} << (h & 63);
        }
        return true;
    }

    constexpr bool empty() const { return count_ == 0; }

    // True when a word occurs in `text` as a run of bytes.
    bool occurs_in(std::string_view text) const;

  private:
    static constexpr std::uint32_t hash(std::uint32_t x) { return (x * 0x9E3779B1u) >> 16; }

    // Whether a word starts at `text`, whose first bytes (masked) are `prefix`.
    bool matches_at(const char* text, std::size_t available, std::uint32_t prefix) const;

    std::array<std::array<char, MAX_WORD_BYTES>, MAX_WORDS> words_{};
    std::array<std::size_t, MAX_WORDS> lengths_{};
    std::array<std::uint32_t, MAX_WORDS> prefixes_{};  // first bytes, as loaded from memory
    std::size_t count_ = 0;
    std::size_t prefix_ = 4;  // bytes compared first: at most 4, at most the shortest word
    std::uint32_t mask_ = 0xFFFFFFFFu;
    std::array<std::uint64_t, 1024> filter_{};  // 65536 bits
};

}  // namespace tavrik
