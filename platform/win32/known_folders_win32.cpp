#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include "platform/known_folders.hpp"
#include "platform/os_known_folders.hpp"

namespace tavrik::platform::os {

namespace {

// The shell's identifier of each folder.
int shell_folder_id(KnownFolder folder) {
    switch (folder) {
        case KnownFolder::desktop:
            return CSIDL_DESKTOP;
        case KnownFolder::documents:
            return CSIDL_PERSONAL;
        case KnownFolder::music:
            return CSIDL_MYMUSIC;
        case KnownFolder::pictures:
            return CSIDL_MYPICTURES;
        case KnownFolder::videos:
            return CSIDL_MYVIDEO;
    }
    return -1;
}

}  // namespace

std::optional<std::u16string> known_folder_path(KnownFolder folder) {
    const int id = shell_folder_id(folder);
    wchar_t path[MAX_PATH + 1] = {};
    if (id < 0 || SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
        return std::nullopt;
    }
    const auto* units = reinterpret_cast<const char16_t*>(path);
    return std::u16string(units);
}

}  // namespace tavrik::platform::os
