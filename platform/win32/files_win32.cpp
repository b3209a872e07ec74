#include <windows.h>

#include <algorithm>
#include <memory>
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
    // No longer ours to close.
    HANDLE release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    void reset(HANDLE handle) {
        if (is_open()) CloseHandle(handle_);
        handle_ = handle;
    }
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

namespace {

// The open handle of the existing regular file at `path`, or INVALID_HANDLE_VALUE with `failure`
// saying why.
HANDLE open_regular_file(std::u16string_view path, std::string& failure) {
    const std::u16string name = win32::long_path(path);  // exactly this entry, however long
    File file(CreateFileW(wide(name), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.is_open()) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(wide(name));
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        failure = folder ? "Is a directory" : system_failure(error);
        return INVALID_HANDLE_VALUE;
    }
    // A device (NUL, COM1, CON) or a pipe is no file: reading it could wait forever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        failure = "not a regular file";
        return INVALID_HANDLE_VALUE;
    }
    return file.release();
}

}  // namespace

std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit,
                                           std::string& failure) {
    File file(open_regular_file(path, failure));
    if (!file.is_open()) return std::nullopt;
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

struct ByteReader::Handle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool owned = false;
    ~Handle() {
        if (owned && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

ByteReader::ByteReader() = default;
ByteReader::~ByteReader() = default;

bool ByteReader::open_file(std::u16string_view path, std::string& failure) {
    handle_.reset();
    const HANDLE handle = open_regular_file(path, failure);
    if (handle == INVALID_HANDLE_VALUE) return false;
    handle_ = std::make_unique<Handle>();
    handle_->handle = handle;
    handle_->owned = true;
    return true;
}

bool ByteReader::open_standard_input(std::string& failure) {
    handle_.reset();
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        failure = "it is closed";
        return false;
    }
    handle_ = std::make_unique<Handle>();
    handle_->handle = input;
    return true;
}

std::optional<std::size_t> ByteReader::read(char* buffer, std::size_t capacity,
                                            std::string& failure) {
    if (!handle_) {
        failure = system_failure(ERROR_INVALID_HANDLE);
        return std::nullopt;
    }
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(handle_->handle, buffer, chunk, &got, nullptr)) {
        const DWORD error = GetLastError();
        // The end of a pipe is the end of the input.
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return std::size_t{0};
        failure = system_failure(error);
        return std::nullopt;
    }
    return static_cast<std::size_t>(got);
}

struct ReplacingWriter::Handle {
    std::u16string target;
    std::u16string temporary;
    File file{INVALID_HANDLE_VALUE};
    bool marked = false;
    bool placed = false;
    ~Handle() {
        if (placed) return;
        // Marked, the file goes with its handle; otherwise (or when the handle is closed
        // already) it is removed by name.
        if (file.is_open()) file.close_checked();
        if (!temporary.empty()) DeleteFileW(wide(temporary));
    }
};

ReplacingWriter::ReplacingWriter() = default;
ReplacingWriter::~ReplacingWriter() = default;

bool ReplacingWriter::begin(std::u16string_view path, std::string& failure) {
    handle_.reset();
    auto handle = std::make_unique<Handle>();
    handle->target = win32::long_path(path);  // exactly this entry, however long
    // A short name of our own in the target's folder, so the final move stays on one volume
    // and a long target name still leaves room for it.
    const std::u16string folder = folder_of(handle->target);
    DWORD seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
    std::u16string temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + u".tavrik-";
        for (int shift = 28; shift >= 0; shift -= 4) {
            temporary += u"0123456789abcdef"[(seed >> shift) & 0xF];
        }
        seed = seed * 1664525u + 1013904223u;
        created = CreateFileW(wide(temporary), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (created == INVALID_HANDLE_VALUE) {
        failure = system_failure(GetLastError());
        return false;
    }
    handle->temporary = temporary;
    handle->file.reset(created);
    // Where the mark cannot be set, the file is still removed on every failure reported below.
    handle->marked = delete_when_closed(created, true);
    handle_ = std::move(handle);
    return true;
}

bool ReplacingWriter::write(std::string_view bytes, std::string& failure) {
    if (!handle_) {
        failure = system_failure(ERROR_INVALID_HANDLE);
        return false;
    }
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD done = 0;
        if (!WriteFile(handle_->file.get(), bytes.data(), chunk, &done, nullptr) || done != chunk) {
            failure = system_failure(GetLastError());
            handle_.reset();  // the temporary file goes now
            return false;
        }
        bytes.remove_prefix(done);
    }
    return true;
}

bool ReplacingWriter::commit(std::string& failure) {
    if (!handle_) {
        failure = system_failure(ERROR_INVALID_HANDLE);
        return false;
    }
    Handle& handle = *handle_;
    const bool written = FlushFileBuffers(handle.file.get()) &&
                         (!handle.marked || delete_when_closed(handle.file.get(), false)) &&
                         handle.file.close_checked();
    if (!written || !MoveFileExW(wide(handle.temporary), wide(handle.target),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = system_failure(GetLastError());
        handle_.reset();
        return false;
    }
    handle.placed = true;
    handle_.reset();
    return true;
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes, std::string& failure) {
    ReplacingWriter writer;
    return writer.begin(path, failure) && writer.write(bytes, failure) && writer.commit(failure);
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes) {
    std::string failure;
    return write_file_replacing(path, bytes, failure);
}

void remove_temporary_files_when_stopped() {}

}  // namespace tavrik::platform
