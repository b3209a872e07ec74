#include "tests/support/directory_link.hpp"

#include <string>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/long_path.hpp"
#endif

namespace tavrik::test {

bool make_directory_link(const std::filesystem::path& target, const std::filesystem::path& link) {
#ifdef _WIN32
    constexpr DWORD UNPRIVILEGED = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    const std::wstring native = platform::win32::long_path_wide(link.u16string());
    if (!CreateSymbolicLinkW(native.c_str(),
                             platform::win32::long_path_wide(target.u16string()).c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY | UNPRIVILEGED)) {
        return false;
    }
    // Wine reports success without making anything.
    const DWORD attributes = GetFileAttributesW(native.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
    std::error_code error;
    std::filesystem::create_directory_symlink(target, link, error);
    return !error;
#endif
}

void remove_directory_link(const std::filesystem::path& link) {
#ifdef _WIN32
    const std::wstring native = platform::win32::long_path_wide(link.u16string());
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        RemoveDirectoryW(native.c_str());
    }
#else
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(link, error))) {
        std::filesystem::remove(link, error);
    }
#endif
}

}  // namespace tavrik::test
