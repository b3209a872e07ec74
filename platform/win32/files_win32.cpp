#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/files.hpp"

namespace tavrik::platform {

namespace {

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

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

}  // namespace

std::optional<FilePrefix> read_file_prefix(std::u16string_view path, std::size_t limit) {
    const std::u16string name(path);
    File file(CreateFileW(wide(name), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.is_open()) return std::nullopt;
    FilePrefix prefix;
    prefix.bytes.resize(limit + 1);  // one more, to learn whether the file goes on
    std::size_t got = 0;
    while (got < limit + 1) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit + 1 - got, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.get(), prefix.bytes.data() + got, chunk, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        got += read;
    }
    prefix.truncated = got > limit;
    prefix.bytes.resize(std::min(got, limit));
    return prefix;
}

bool write_file_replacing(std::u16string_view path, std::string_view bytes) {
    const std::u16string target(path);
    // A name of our own beside the target, so the final move stays on one volume.
    std::u16string temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = target + u".tavrik-";
        temporary += static_cast<char16_t>(u'0' + attempt / 10);
        temporary += static_cast<char16_t>(u'0' + attempt % 10);
        handle = CreateFileW(wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    File file(handle);
    if (!file.is_open()) return false;
    bool written = true;
    while (written && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD done = 0;
        written = WriteFile(file.get(), bytes.data(), chunk, &done, nullptr) && done == chunk;
        bytes.remove_prefix(done);
    }
    written = written && FlushFileBuffers(file.get()) && file.close_checked();
    if (!written || !MoveFileExW(wide(temporary), wide(target),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(wide(temporary));
        return false;
    }
    return true;
}

}  // namespace tavrik::platform
