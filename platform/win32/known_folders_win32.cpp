#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include "platform/known_folders.hpp"
#include "platform/os_known_folders.hpp"

namespace tavrik::platform {

namespace os {

std::optional<std::u16string> known_folder_path(int csidl) {
    wchar_t path[MAX_PATH + 1] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
        return std::nullopt;
    }
    const auto* units = reinterpret_cast<const char16_t*>(path);
    return std::u16string(units);
}

}  // namespace os

std::optional<DirectoryIdentity> directory_identity(const std::u16string& path) {
    const HANDLE directory =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), 0,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    const BOOL known = GetFileInformationByHandle(directory, &information);
    CloseHandle(directory);
    if (!known) return std::nullopt;
    return DirectoryIdentity{
        information.dwVolumeSerialNumber,
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

}  // namespace tavrik::platform
