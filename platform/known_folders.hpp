// Where the user's shell folders (Desktop, Documents, Music, Pictures, Videos) are.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tavrik::platform {

// Windows shell folder identifiers (CSIDL values).
inline constexpr int CSIDL_DESKTOP_FOLDER = 0;
inline constexpr int CSIDL_DOCUMENTS_FOLDER = 5;
inline constexpr int CSIDL_MUSIC_FOLDER = 13;
inline constexpr int CSIDL_VIDEOS_FOLDER = 14;
inline constexpr int CSIDL_PICTURES_FOLDER = 39;

// The folder's current path, or nothing when the system has none for it. Windows asks the
// shell; elsewhere the XDG user directories are read ($XDG_CONFIG_HOME/user-dirs.dirs, else
// $HOME/Desktop and so on), and a folder that does not exist, or is the home folder itself (a
// disabled one), has no path.
std::optional<std::u16string> known_folder_path(int csidl);

// While it lives, known folders lead where a test says (a folder left out has no path) and
// never to the user's own. Not thread-safe.
class KnownFolderOverride {
  public:
    explicit KnownFolderOverride(
        std::array<std::optional<std::u16string>, 5> desktop_documents_music_pictures_videos);
    ~KnownFolderOverride();
    KnownFolderOverride(const KnownFolderOverride&) = delete;
    KnownFolderOverride& operator=(const KnownFolderOverride&) = delete;

    std::optional<std::u16string> path(int csidl) const;

  private:
    std::array<std::optional<std::u16string>, 5> paths_;
    const KnownFolderOverride* previous_;
};

// What identifies a directory however it is reached: the same pair for the same directory.
using DirectoryIdentity = std::pair<std::uint64_t, std::uint64_t>;
std::optional<DirectoryIdentity> directory_identity(const std::u16string& path);

}  // namespace tavrik::platform
