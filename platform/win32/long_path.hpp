// Paths as Windows file calls take them exactly: full, in the \\?\ form. Without it Win32 path
// parsing drops a trailing dot or space from names (so "G." would address "G") and limits
// paths to MAX_PATH units. Paths shown to the user keep the form they were given in.
#pragma once

#include <string>
#include <string_view>

namespace tavrik::platform::win32 {

// `path` as a full path with the \\?\ prefix (\\?\UNC\server\share\... for
// \\server\share\...). Both slashes separate and "." and ".." components are resolved, as
// Windows does; every other component is kept exactly as it is. A relative path (also one that
// starts with a separator, or names a drive without one) is taken from `current_directory`, a
// full path. A path already in a device form (\\?\, \\.\, \??\) is kept as it is. An empty
// path stays empty: it names nothing.
std::u16string long_path_from(std::u16string_view path, std::u16string_view current_directory);

#ifdef _WIN32
// The same, relative to the process's current directory.
std::u16string long_path(std::u16string_view path);
// The same as a wide string, for Windows calls.
std::wstring long_path_wide(std::u16string_view path);
#endif

}  // namespace tavrik::platform::win32
