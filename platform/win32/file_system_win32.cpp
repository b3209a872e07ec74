// Directories and renames on Windows. Every call gets the \\?\ form of a full path, so each entry
// is addressed exactly (a name ending in a dot or a space included) and long paths work. A
// directory of a walk is held open without FILE_SHARE_DELETE, so that neither it nor any directory
// above it can be renamed, moved or replaced while the walk is inside it: the paths formed
// below it keep leading to it. Below a held directory no name-surrogate reparse point (link,
// junction, mount point) is ever followed, nor, under Wine, a Unix symbolic link (which Wine
// does not present as one: see under_wine).
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.hpp"
#include "platform/win32/long_path.hpp"
#include "platform/win32/relative_rename.hpp"
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

// Under Wine (measured on Wine 8) a Unix symbolic link is no reparse point to a handle: it is
// followed even when the reparse point itself is asked for (FILE_FLAG_OPEN_REPARSE_POINT), and
// the handle then shows a plain directory. A listing marks it FILE_ATTRIBUTE_REPARSE_POINT with
// the tag 0, which no reparse point on Windows has. So under Wine a listing's tag 0 is taken for
// a link, and a subdirectory opened must resolve to its parent's path and its own name. Wine's
// ntdll says who it is; on Windows none of this applies and the walk is as it was.
bool under_wine() {
    static const bool wine = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

// The path of an open handle within its volume, as the system resolves it (FileNameInfo).
// GetFinalPathNameByHandleW would say the same, but fails under Wine past MAX_PATH, which a deep
// walk passes (measured on Wine 8).
std::wstring resolved_path(HANDLE handle) {
    std::vector<std::byte> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(),
                                      static_cast<DWORD>(buffer.size()))) {
        return {};
    }
    const auto* information = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
    return std::wstring(information->FileName, information->FileNameLength / sizeof(wchar_t));
}

// Whether `child`, opened as the entry `name` of `parent`, is that entry itself: it resolves to
// the parent's path and that name, and not, through a link, to a directory somewhere else.
// Wine drops the dots and spaces that end a name there, as a Win32 path does ("X." ends in
// "\X"), and so may the name here.
bool resolves_as_named(HANDLE parent, HANDLE child, std::wstring_view name) {
    const std::wstring above = resolved_path(parent);
    const std::wstring here = resolved_path(child);
    if (above.empty() || here.empty()) return false;
    const std::size_t kept = name.find_last_not_of(L". ");
    return here == joined(above, name) ||
           (kept != std::wstring_view::npos && here == joined(above, name.substr(0, kept + 1)));
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
    if (under_wine() &&
        !resolves_as_named(handle_->handle.get(), handle.get(), wide_string(name))) {
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

// Listing goes by path beneath the held directory (renaming too, where the system cannot rename
// relative to the held handle). Holding it (without FILE_SHARE_DELETE) keeps it from being renamed
// or removed, but not from being made a link (a junction) in place: so, right before each use,
// the held directory must still be no link, and its path must still lead to it.
bool Directory::still_where_it_was() const {
    if (!is_open() || !is_plain_directory(handle_->handle.get())) return false;
    const OwnedHandle again(open_directory_handle(handle_->native, true));
    if (again.get() == INVALID_HANDLE_VALUE) return false;
    const auto held = file_id(handle_->handle.get());
    return held && held == file_id(again.get());
}

namespace {

// The calls of ntdll that open an entry by its name inside a held directory: loaded at run
// time, as no import library is needed for them then.
struct NtCalls {
    decltype(&NtOpenFile) open_file = nullptr;
    decltype(&NtSetInformationFile) set_information = nullptr;
    decltype(&RtlNtStatusToDosError) status_to_error = nullptr;

    static const NtCalls& get() {
        static const NtCalls calls = [] {
            NtCalls loaded;
            if (const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
                loaded.open_file = reinterpret_cast<decltype(&NtOpenFile)>(
                    reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtOpenFile")));
                loaded.set_information = reinterpret_cast<decltype(&NtSetInformationFile)>(
                    reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtSetInformationFile")));
                loaded.status_to_error = reinterpret_cast<decltype(&RtlNtStatusToDosError)>(
                    reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlNtStatusToDosError")));
            }
            return loaded;
        }();
        return calls;
    }
};

// From ntstatus.h, which does not go together with windows.h.
constexpr NTSTATUS status_not_implemented = static_cast<NTSTATUS>(0xC0000002);
constexpr NTSTATUS status_invalid_parameter = static_cast<NTSTATUS>(0xC000000D);
constexpr NTSTATUS status_invalid_device_request = static_cast<NTSTATUS>(0xC0000010);
constexpr NTSTATUS status_not_supported = static_cast<NTSTATUS>(0xC00000BB);

}  // namespace

namespace win32 {

RelativeRename rename_relative(void* directory, std::wstring_view from, std::wstring_view to) {
    const NtCalls& nt = NtCalls::get();
    if (nt.open_file == nullptr || nt.set_information == nullptr) {
        return RelativeRename::unavailable;
    }
    const std::size_t from_bytes = from.size() * sizeof(wchar_t);
    const std::size_t to_bytes = to.size() * sizeof(wchar_t);
    if (from_bytes > 0xFFFE || to_bytes > 0xFFFE) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return RelativeRename::failed;
    }
    UNICODE_STRING name{};
    name.Length = static_cast<USHORT>(from_bytes);
    name.MaximumLength = static_cast<USHORT>(from_bytes);
    name.Buffer = const_cast<PWSTR>(from.data());
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = directory;
    attributes.ObjectName = &name;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    IO_STATUS_BLOCK status_block{};
    HANDLE opened = INVALID_HANDLE_VALUE;
    const NTSTATUS status = nt.open_file(
        &opened, DELETE | SYNCHRONIZE, &attributes, &status_block,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT);
    if (!NT_SUCCESS(status)) {
        if (nt.status_to_error != nullptr) SetLastError(nt.status_to_error(status));
        return RelativeRename::failed;
    }
    const OwnedHandle entry(opened);
    // Under Wine the handle of a Unix symbolic link is its target's, and renaming it would move
    // the target into the held directory: such an entry is not renamed.
    if (under_wine() && !resolves_as_named(directory, entry.get(), from)) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return RelativeRename::failed;
    }

    // The new name, relative to the same held directory. NtSetInformationFile takes it as it
    // is; SetFileInformationByHandle (FileRenameInfo) refuses a relative name under Wine 8.
    // FILE_RENAME_INFORMATION ends in the name, which runs on past the structure's own end.
    std::vector<std::byte> buffer(offsetof(FILE_RENAME_INFORMATION, FileName) + to_bytes +
                                  sizeof(wchar_t));
    auto* const information = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    information->ReplaceIfExists = FALSE;
    information->RootDirectory = directory;
    information->FileNameLength = static_cast<ULONG>(to_bytes);
    std::copy(to.begin(), to.end(), information->FileName);
    const NTSTATUS renamed =
        nt.set_information(entry.get(), &status_block, information,
                           static_cast<ULONG>(buffer.size()), FileRenameInformation);
    if (NT_SUCCESS(renamed)) return RelativeRename::renamed;
    // A file system that takes no rename relative to a directory handle (some network
    // redirectors) says so with one of these.
    if (renamed == status_not_implemented || renamed == status_invalid_parameter ||
        renamed == status_invalid_device_request || renamed == status_not_supported) {
        return RelativeRename::unavailable;
    }
    if (nt.status_to_error != nullptr) SetLastError(nt.status_to_error(renamed));
    return RelativeRename::failed;
}

}  // namespace win32

bool Directory::rename(std::u16string_view from, std::u16string_view to) const {
    if (!is_open() || !is_plain_name(from) || !is_plain_name(to)) return false;
    if (!still_where_it_was()) return false;
    const std::wstring old_name = wide_string(from);
    const std::wstring new_name = wide_string(to);
    switch (win32::rename_relative(handle_->handle.get(), old_name, new_name)) {
        case win32::RelativeRename::renamed:
            return true;
        case win32::RelativeRename::failed:
            return false;
        case win32::RelativeRename::unavailable:
            break;
    }
    // By path, only where the handle cannot be renamed relative to: the held directory was just
    // checked, but could become a link between that check and this call. Without
    // MOVEFILE_REPLACE_EXISTING an existing entry is never replaced; a link is renamed itself,
    // not what it points at.
    return still_where_it_was() &&
           MoveFileExW(joined(handle_->native, old_name).c_str(),
                       joined(handle_->native, new_name).c_str(), 0) != FALSE;
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
    // For a reparse point the listing gives its tag in dwReserved0; under Wine, 0 is a Unix
    // symbolic link (see under_wine).
    entry.is_link =
        (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        (is_name_surrogate(data.dwReserved0) || (data.dwReserved0 == 0 && under_wine()));
    return true;
}

bool rename_no_replace(std::u16string_view from, std::u16string_view to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing entry is never replaced.
    return MoveFileExW(win32::long_path_wide(from).c_str(), win32::long_path_wide(to).c_str(), 0) !=
           FALSE;
}

}  // namespace tavrik::platform
