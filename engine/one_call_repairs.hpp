// One-call repairs for a caller that wants one answer rather than the whole candidate list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrik {

// The most a repaired file's input may hold.
inline constexpr std::size_t FILE_REPAIR_LIMIT = 1048575;
inline constexpr std::u16string_view FIXED_SUFFIX = u".fixed";

// Writes the best repair of `input` into `output`: input that is already UTF-8 with Cyrillic in
// it unchanged, otherwise the first candidate with the highest score above 0. On entry
// `output_length` is the capacity; on success the number of bytes written (no NUL). Returns 1,
// or 0 with output and length untouched when there is no such candidate or it does not fit.
int repair_buffer(std::string_view input, char* output, std::uint64_t& output_length);

// The code page `input` is most likely written in: 2 with 65001 for UTF-8 that already holds
// Cyrillic; 1 with the catalogue code page whose reading yields the most Cyrillic letters (the
// earliest on a tie); 0 with the system ANSI code page when none yields any.
int detect_code_page(std::string_view input, std::uint32_t& code_page);

// Repairs the file at `path` into "<path>.fixed": the first candidate with the highest score,
// exactly its bytes. Returns 1 when the whole repair was written; 0 when the input cannot be
// opened or read or holds more than FILE_REPAIR_LIMIT bytes, or the output path would be too
// long, or the output cannot be written; then an existing .fixed file is left as it was.
int repair_file(std::u16string_view path);

}  // namespace tavrik
