#include "platform/known_folders.hpp"

#include "platform/os_known_folders.hpp"

namespace tavrik::platform {

namespace {
const KnownFolderOverride* active_override = nullptr;
}

KnownFolderOverride::KnownFolderOverride(std::array<std::optional<std::u16string>, 5> paths)
    : paths_(std::move(paths)), previous_(active_override) {
    active_override = this;
}

KnownFolderOverride::~KnownFolderOverride() {
    active_override = previous_;
}

std::optional<std::u16string> KnownFolderOverride::path(int csidl) const {
    switch (csidl) {
        case CSIDL_DESKTOP_FOLDER:
            return paths_[0];
        case CSIDL_DOCUMENTS_FOLDER:
            return paths_[1];
        case CSIDL_MUSIC_FOLDER:
            return paths_[2];
        case CSIDL_PICTURES_FOLDER:
            return paths_[3];
        case CSIDL_VIDEOS_FOLDER:
            return paths_[4];
        default:
            return std::nullopt;
    }
}

std::optional<std::u16string> known_folder_path(int csidl) {
    return active_override ? active_override->path(csidl) : os::known_folder_path(csidl);
}

}  // namespace tavrik::platform
