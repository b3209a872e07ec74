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

std::optional<std::u16string> KnownFolderOverride::path(KnownFolder folder) const {
    switch (folder) {
        case KnownFolder::desktop:
            return paths_[0];
        case KnownFolder::documents:
            return paths_[1];
        case KnownFolder::music:
            return paths_[2];
        case KnownFolder::pictures:
            return paths_[3];
        case KnownFolder::videos:
            return paths_[4];
    }
    return std::nullopt;
}

std::optional<std::u16string> known_folder_path(KnownFolder folder) {
    return active_override ? active_override->path(folder) : os::known_folder_path(folder);
}

}  // namespace tavrik::platform
