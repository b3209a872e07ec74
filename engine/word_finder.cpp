#include "engine/word_finder.hpp"

#include <cstring>

namespace tavrik {

bool WordFinder::matches_at(const char* text, std::size_t available, std::uint32_t prefix) const {
    for (std::size_t w = 0; w < count_; ++w) {
        if (prefixes_[w] == prefix && lengths_[w] <= available &&
            std::memcmp(text, words_[w].data(), lengths_[w]) == 0) {
            return true;
        }
    }
    return false;
}

bool WordFinder::occurs_in(std::string_view text) const {
    if (count_ == 0 || text.size() < prefix_) return false;
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    const auto check = [&](std::uint32_t x) {
        const std::uint32_t prefix = x & mask_;
        const std::uint32_t h = hash(prefix);
        return ((filter_[h >> 6] >> (h & 63)) & 1u) != 0 && matches_at(p + i, n - i, prefix);
    };
    for (; i + 4 <= n; ++i) {
        std::uint32_t x;
        std::memcpy(&x, p + i, 4);
        if (check(x)) return true;
    }
    // The last positions, where fewer than four bytes remain.
    for (; i + prefix_ <= n; ++i) {
        std::array<char, 4> tail{};
        std::memcpy(tail.data(), p + i, n - i);
        std::uint32_t x;
        std::memcpy(&x, tail.data(), 4);
        if (check(x)) return true;
    }
    return false;
}

}  // namespace tavrik
