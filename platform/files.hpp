// Reading and writing whole files, with paths in UTF-16.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik::platform {

struct FilePrefix {
    std::string bytes;       // at most the limit asked for
    bool truncated = false;  // the file had more bytes than that
};

// The first `limit` bytes of an existing file, opened for reading while others may read it too;
// nothing when it cannot be opened or read.
std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit);

// Writes `bytes` to a new file beside `path` and then puts it in place of `path`, so that `path`
// ends up holding exactly `bytes` or, when anything fails, stays as it was. True on success.
bool write_file_replacing(std::u16string_view path, std::string_view bytes);

}  // namespace tavrik::platform
