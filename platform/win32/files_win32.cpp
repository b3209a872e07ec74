#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/files.hpp"
#include "platform/win32/long_path.hpp"
#include "platform/win32/wide_text.hpp"

namespace tavrik::platform {

namespace {

using win32::wide;

class File {
  public:
    explicit File(HANDLE handle) : handle_(handle) {}
    ~File() {
        if (is_open()) CloseHandle(handle_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close_checked() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != FALSE;
    }

  private:
    HANDLE handle_;
};

// A few words for a message about the system's error code.
std::string system_failure(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return "no such file";
        case ERROR_PATH_NOT_FOUND:
            return "no such folder";
        case ERROR_ACCESS_DENIED:
            return "access denied";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "in use by another program";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "no space left on the disk";
        case ERROR_INVALID_NAME:
            return "not a valid name";
        case ERROR_FILENAME_EXCED_RANGE:
            return "the name is too long";
        case ERROR_WRITE_PROTECT:
            return "the disk is write-protected";
        case ERROR_INVALID_HANDLE:
            return "not an open file";
        case ERROR_INVALID_FUNCTION:
            return "not readable";
        default:
            return "Windows error " + std::to_string(error);
    }
}

// Reads up to `limit` + 1 bytes; the end of a pipe is the end of the input.
std::optional<FilePrefix> read_prefix(HANDLE handle, std::size_t limit, std::string& failure) {
    FilePrefix prefix;
    prefix.bytes.resize(limit + 1);  // one more, to learn whether the file goes on
    std::size_t got = 0;
    while (got < limit + 1) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit + 1 - got, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(handle, prefix.bytes.data() + got, chunk, &read, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) break;
            failure = system_failure(error);
            return std::nullopt;
        }
        if (read == 0) break;
        got += read;
    }
    prefix.truncated = got > limit;
    prefix.bytes.resize(std::min(got, limit));
    return prefix;
}

// Marks an open file to be deleted when its last handle closes, or takes the mark away: a
// temporary file so marked goes however the program ends, even when it is stopped.
bool delete_when_closed(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

// The folder part of `path`, with its separator ("" for a bare name).
std::u16string folder_of(const std::u16string& path) {
    const std::size_t end = path.find_last_of(u"\\/:");
    return end == std::u16string::npos ? std::u16string() : path.substr(0, end + 1);
}

}  // namespace

std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit,
                                           std::string& failure) {
    const std::u16string name = win32::long_path(path);  // exactly this entry, however long
    File file(CreateFileW(wide(name), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.is_open()) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(wide(name));
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        failure = folder ? "Is a directory" : system_failure(error);
        return std::nullopt;
    }
    // A device (NUL, COM1, CON) or a pipe is no file: reading it could wait forever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        failure = "not a regular file";
        return std::nullopt;
    }
    return read_prefix(file.get(), limit, failure);
}

std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit) {
    std::string failure;
    return read_file_prefix(path, limit, failure);
}

std::optional<FilePrefix> read_standard_input_prefix(std::size_t limit, std::string& failure) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        failure = "it is closed";
        return std::nullopt;
    }
    return read_prefix(input, limit, failure);
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes, std::string& failure) {
    const std::u16string target = win32::long_path(path);  // exactly this entry, however long
    // A short name of our own in the target's folder, so the final move stays on one volume
    // and a long target name still leaves room for it.
    const std::u16string folder = folder_of(target);
    DWORD seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
    std::u16string temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + u".tavrik-";
        for (int shift = 28; shift >= 0; shift -= 4) {
            temporary += u"0123456789abcdef"[(seed >> shift) & 0xF];
        }
        seed = seed * 1664525u + 1013904223u;
        handle = CreateFileW(wide(temporary), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    File file(handle);
    if (!file.is_open()) {
        failure = system_failure(GetLastError());
        return false;
    }
    // Where the mark cannot be set, the file is still removed on every failure reported below.
    const bool marked = delete_when_closed(file.get(), true);
    bool written = true;
    while (written && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD done = 0;
        written = WriteFile(file.get(), bytes.data(), chunk, &done, nullptr) && done == chunk;
        if (written) bytes.remove_prefix(done);
    }
    written = written && FlushFileBuffers(file.get()) &&
              (!marked || delete_when_closed(file.get(), false)) && file.close_checked();
    if (!written || !MoveFileExW(wide(temporary), wide(target),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = system_failure(GetLastError());
        if (file.is_open()) file.close_checked();
        DeleteFileW(wide(temporary));
        return false;
    }
    return true;
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes) {
    std::string failure;
    return write_file_replacing(path, bytes, failure);
}

void remove_temporary_files_when_stopped() {}

}  // namespace tavrik::platform
