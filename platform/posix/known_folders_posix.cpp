// Known folders as the XDG user directories: $XDG_CONFIG_HOME/user-dirs.dirs (by default
// ~/.config/user-dirs.dirs), lines such as XDG_MUSIC_DIR="$HOME/Music"; a folder the file does
// not name is $HOME/Desktop, $HOME/Documents and so on.
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "encoding/utf8.hpp"
#include "platform/known_folders.hpp"
#include "platform/os_known_folders.hpp"

namespace tavrik::platform {

namespace os {

namespace {

struct XdgFolder {
    const char* key;
    const char* fallback;
};

XdgFolder xdg_folder(KnownFolder folder) {
    switch (folder) {
        case KnownFolder::desktop:
            return XdgFolder{"XDG_DESKTOP_DIR", "Desktop"};
        case KnownFolder::documents:
            return XdgFolder{"XDG_DOCUMENTS_DIR", "Documents"};
        case KnownFolder::music:
            return XdgFolder{"XDG_MUSIC_DIR", "Music"};
        case KnownFolder::pictures:
            return XdgFolder{"XDG_PICTURES_DIR", "Pictures"};
        case KnownFolder::videos:
            return XdgFolder{"XDG_VIDEOS_DIR", "Videos"};
    }
    return XdgFolder{"XDG_DESKTOP_DIR", "Desktop"};
}

std::string without_trailing_slashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The value of `key` in user-dirs.dirs, with $HOME expanded; empty when not there.
std::string from_user_dirs(const std::string& home, const char* key) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string file =
        (config && *config == '/' ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    const std::string prefix = std::string(key) + "=\"";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (!value.empty() && value.front() == '/') return value;
    }
    return {};
}

}  // namespace

std::optional<std::u16string> known_folder_path(KnownFolder known) {
    const XdgFolder folder = xdg_folder(known);
    const char* home_variable = std::getenv("HOME");
    if (!home_variable || *home_variable != '/') return std::nullopt;
    const std::string home = without_trailing_slashes(home_variable);
    std::string path = from_user_dirs(home, folder.key);
    if (path.empty()) path = home + "/" + folder.fallback;
    path = without_trailing_slashes(path);
    // A folder set to the home itself is disabled: the scan must never walk the whole home.
    struct stat folder_status {
    }, home_status{};
    if (path == home || stat(path.c_str(), &folder_status) != 0 ||
        !S_ISDIR(folder_status.st_mode)) {
        return std::nullopt;
    }
    if (stat(home.c_str(), &home_status) == 0 && home_status.st_dev == folder_status.st_dev &&
        home_status.st_ino == folder_status.st_ino) {
        return std::nullopt;
    }
    std::u16string wide;
    if (!encoding::utf8::decode_strict(path, wide)) return std::nullopt;
    return wide;
}

}  // namespace os

}  // namespace tavrik::platform
