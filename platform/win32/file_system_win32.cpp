// Directories and renames on Windows. Every call gets the \\?\ form of a full path, so each entry
// is addressed exactly (a name ending in a dot or a space included) and long paths work. A
// directory of a walk is held open without FILE_SHARE_DELETE, so that neither it nor any directory
// above it can be renamed, moved or replaced while the walk is inside it: the paths formed
// below it keep leading to it. Below a held directory no name-surrogate reparse point (link,
// junction, mount point) is ever followed.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/file_system.hpp"
#include "platform/win32/long_path.hpp"
#include "platform/win32/wide_text.hpp"

namespace tavrik::platform {

namespace {

using win32::wide_string;

// "directory\name", with no doubled separator after a drive's root.
std::wstring joined(const std::wstring& directory, std::wstring_view name) {
    std::wstring path = directory;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

// One component: a name, never a path.
bool is_plain_name(std::u16string_view name) {
    return !name.empty() && name != u"." && name != u".." &&
           name.find_first_of(u"\\/") == std::u16string_view::npos;
}

class OwnedHandle {
  public:
    explicit OwnedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~OwnedHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    HANDLE get() const { return handle_; }
    HANDLE release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

  private:
    HANDLE handle_;
};

HANDLE open_directory_handle(const std::wstring& native, bool follow_reparse_points) {
    // No FILE_SHARE_DELETE: the directory cannot be renamed or removed while it is held.
    return CreateFileW(
        native.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (follow_reparse_points ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
        nullptr);
}

// A directory and not a link (a reparse point whose tag cannot be read counts as a link).
bool is_plain_directory(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return false;
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) {
        return false;
    }
    return !is_name_surrogate(tag.ReparseTag);
}

// The 64-bit file index and volume of an open handle; nothing when the call fails.
std::optional<std::pair<DWORD, std::uint64_t>> file_id(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
    return std::pair{information.dwVolumeSerialNumber,
                     (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

}  // namespace

struct Directory::Handle {
    Handle(HANDLE owned, std::wstring path) : handle(owned), native(std::move(path)) {}
    OwnedHandle handle;
    std::wstring native;  // the \\?\ form of its full path
};

Directory::Directory() = default;
Directory::~Directory() = default;
Directory::Directory(Directory&&) noexcept = default;
Directory& Directory::operator=(Directory&&) noexcept = default;

Directory Directory::open(std::u16string_view path) {
    Directory directory;
    std::wstring native = win32::long_path_wide(path);
    OwnedHandle handle(open_directory_handle(native, true));
    if (handle.get() == INVALID_HANDLE_VALUE) return directory;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return directory;
    }
    directory.handle_ = std::make_unique<Handle>(handle.release(), std::move(native));
    return directory;
}

Directory Directory::open_subdirectory(std::u16string_view name) const {
    Directory directory;
    if (!is_open() || !is_plain_name(name)) return directory;
    std::wstring native = joined(handle_->native, wide_string(name));
    OwnedHandle handle(open_directory_handle(native, false));
    if (handle.get() == INVALID_HANDLE_VALUE || !is_plain_directory(handle.get())) {
        return directory;
    }
    directory.handle_ = std::make_unique<Handle>(handle.release(), std::move(native));
    return directory;
}

bool Directory::is_open() const {
    return handle_ != nullptr && handle_->handle.get() != INVALID_HANDLE_VALUE;
}

std::optional<DirectoryIdentity> Directory::identity() const {
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = is_open() && GetFileInformationByHandle(handle_->handle.get(), &information);
    return trusted_identity(
        known, information.dwVolumeSerialNumber,
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow);
}

// Listing and renaming go by path beneath the held directory. Holding it (without
// FILE_SHARE_DELETE) keeps it from being renamed or removed, but not from being made a link
// (a junction) in place: so, right before each use, the held directory must still be no link,
// and its path must still lead to it.
bool Directory::still_where_it_was() const {
    if (!is_open() || !is_plain_directory(handle_->handle.get())) return false;
    const OwnedHandle again(open_directory_handle(handle_->native, true));
    if (again.get() == INVALID_HANDLE_VALUE) return false;
    const auto held = file_id(handle_->handle.get());
    return held && held == file_id(again.get());
}

bool Directory::rename(std::u16string_view from, std::u16string_view to) const {
    if (!is_open() || !is_plain_name(from) || !is_plain_name(to)) return false;
    if (!still_where_it_was()) return false;
    // Without MOVEFILE_REPLACE_EXISTING an existing entry is never replaced; a link is renamed
    // itself, not what it points at.
    return MoveFileExW(joined(handle_->native, wide_string(from)).c_str(),
                       joined(handle_->native, wide_string(to)).c_str(), 0) != FALSE;
}

struct DirectoryListing::Handle {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // data holds an entry not handed out yet
    bool failed = false;
    ~Handle() {
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
};

DirectoryListing::DirectoryListing(const Directory& directory)
    : handle_(std::make_unique<Handle>()) {
    if (!directory.is_open() || !directory.still_where_it_was()) {
        handle_->failed = true;
        return;
    }
    const std::wstring pattern = joined(directory.handle_->native, L"*");
    handle_->find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &handle_->data,
                                     FindExSearchNameMatch, nullptr, 0);
    handle_->pending = handle_->find != INVALID_HANDLE_VALUE;
    if (handle_->find == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND) {
        handle_->failed = true;
    }
}

DirectoryListing::~DirectoryListing() = default;

bool DirectoryListing::is_open() const {
    return handle_->find != INVALID_HANDLE_VALUE;
}

bool DirectoryListing::failed() const {
    return handle_->failed;
}

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (handle_->find == INVALID_HANDLE_VALUE) return false;
    if (!handle_->pending && !FindNextFileW(handle_->find, &handle_->data)) {
        if (GetLastError() != ERROR_NO_MORE_FILES) handle_->failed = true;
        return false;
    }
    handle_->pending = false;
    const WIN32_FIND_DATAW& data = handle_->data;
    entry.name.assign(win32::from_wide(data.cFileName));
    entry.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // For a reparse point the listing gives its tag in dwReserved0.
    entry.is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                    is_name_surrogate(data.dwReserved0);
    return true;
}

bool rename_no_replace(std::u16string_view from, std::u16string_view to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing entry is never replaced.
    return MoveFileExW(win32::long_path_wide(from).c_str(), win32::long_path_wide(to).c_str(), 0) !=
           FALSE;
}

}  // namespace tavrik::platform
