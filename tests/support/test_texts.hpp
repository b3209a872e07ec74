// Texts the tests share: real Russian prose in several encodings, and random bytes.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace tavrik::test {

// A few paragraphs of ordinary Russian prose with punctuation, in UTF-8.
std::string_view russian_prose_utf8();

// The same prose encoded in a single-byte code page of ours (characters it lacks dropped).
std::string russian_prose_in(std::uint32_t code_page);

// `text` encoded in `code_page`; empty when some character cannot be held.
std::string encode(std::uint32_t code_page, std::string_view utf8_text);

// Random bytes biased towards what garbled text is made of: ASCII letters, spaces, and the
// bytes of Cyrillic letters in UTF-8 and the single-byte code pages.
std::string random_garble(std::mt19937& random, std::size_t length);

// Uniformly random bytes.
std::string random_bytes(std::mt19937& random, std::size_t length);

}  // namespace tavrik::test
