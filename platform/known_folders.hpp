// Where the user's shell folders (Desktop, Documents, Music, Pictures, Videos) are.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace tavrik::platform {

enum class KnownFolder { desktop, documents, music, pictures, videos };

// The folder's current path, or nothing when the system has none for it. Windows asks the
// shell; elsewhere the XDG user directories are read ($XDG_CONFIG_HOME/user-dirs.dirs, else
// $HOME/Desktop and so on), and a folder that does not exist, or is the home folder itself (a
// disabled one), has no path.
std::optional<std::u16string> known_folder_path(KnownFolder folder);

// While it lives, known folders lead where a test says (a folder left out has no path) and
// never to the user's own. Not thread-safe.
class KnownFolderOverride {
  public:
    explicit KnownFolderOverride(
        std::array<std::optional<std::u16string>, 5> desktop_documents_music_pictures_videos);
    ~KnownFolderOverride();
    KnownFolderOverride(const KnownFolderOverride&) = delete;
    KnownFolderOverride& operator=(const KnownFolderOverride&) = delete;

    std::optional<std::u16string> path(KnownFolder folder) const;

  private:
    std::array<std::optional<std::u16string>, 5> paths_;
    const KnownFolderOverride* previous_;
};

}  // namespace tavrik::platform
