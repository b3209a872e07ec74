// Reading and writing whole files, with paths in UTF-16.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik::platform {

struct FilePrefix {
    std::string bytes;       // at most the limit asked for
    bool truncated = false;  // the file had more bytes than that
};

// The first `limit` bytes of an existing regular file, opened for reading while others may read
// it too; nothing when it cannot be opened or read, or is no regular file (a folder, a device, a
// pipe: those are refused at once, never waited on). `failure` then says why, in a few English
// words for a message.
std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit,
                                           std::string& failure);
std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit);

// The first `limit` bytes of standard input, reading at most one byte more (to learn whether it
// goes on); nothing, with `failure` saying why, when standard input is closed, a folder, or
// cannot be read.
std::optional<FilePrefix> read_standard_input_prefix(std::size_t limit, std::string& failure);

// Writes `bytes` to a new file beside `path` and then puts it in place of `path`, so that `path`
// ends up holding exactly `bytes` or, when anything fails, stays as it was. The new file is a
// short temporary name in the same folder until it is put in place, and is removed on every
// failure. A regular file replaced keeps its permissions; otherwise (no file, or a symbolic link
// replaced by the file) the file gets the usual ones for a new file. True on success; otherwise
// `failure` says why.
bool write_file_replacing(std::u16string_view path, std::string_view bytes, std::string& failure);
bool write_file_replacing(std::u16string_view path, std::string_view bytes);

// A regular file or standard input read a piece at a time, for inputs of any size.
class ByteReader {
  public:
    ByteReader();
    ~ByteReader();
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    // Opens an existing regular file as read_file_prefix does (a folder, a device or a pipe is
    // refused at once). False, with `failure` saying why, when it cannot.
    bool open_file(std::u16string_view path, std::string& failure);
    // Standard input, as read_standard_input_prefix takes it (refused when closed or a folder).
    bool open_standard_input(std::string& failure);
    // Reads up to `capacity` bytes, waiting for at least one unless the input has ended: the
    // number read, 0 at the end; nothing, with `failure` saying why, when reading fails.
    std::optional<std::size_t> read(char* buffer, std::size_t capacity, std::string& failure);

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// write_file_replacing a piece at a time: begin makes the temporary file beside `path`, write
// adds to it, commit puts it in place of `path`. Until commit succeeds `path` stays as it was,
// and the temporary file is removed on every failure and when the writer goes uncommitted (and,
// with remove_temporary_files_when_stopped, when the program is stopped by a signal).
class ReplacingWriter {
  public:
    ReplacingWriter();
    ~ReplacingWriter();
    ReplacingWriter(const ReplacingWriter&) = delete;
    ReplacingWriter& operator=(const ReplacingWriter&) = delete;

    bool begin(std::u16string_view path, std::string& failure);
    bool write(std::string_view bytes, std::string& failure);
    bool commit(std::string& failure);

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// For a console program: a signal that would end the program and may come at any moment
// (interrupt, termination, hang-up, a broken pipe, timers, the CPU time limit, the user and
// real-time signals) first removes the temporary file of a write_file_replacing under way, then
// ends the program by that same signal (a hard CPU time limit, at which the system kills
// outright, is met by SIGXCPU a second before it); and a file grown past
// the size the system allows makes that write fail (and so be removed and reported) instead of
// stopping the program. Nothing to do on Windows, where the temporary file is marked to be
// deleted when closed until it is put in place, so it goes however the program ends.
void remove_temporary_files_when_stopped();

}  // namespace tavrik::platform
