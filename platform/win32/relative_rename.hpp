// Renaming an entry of a held directory relative to the directory's handle, so that no path is
// resolved again between checking the directory and renaming inside it.
#pragma once

#include <string_view>

namespace tavrik::platform::win32 {

enum class RelativeRename {
    renamed,
    failed,       // the last error says why; nothing was changed
    unavailable,  // this system, or the file system holding the directory, cannot do it
};

// Renames the entry `from` of the directory open as `directory` (a HANDLE) to `to`: both are
// names inside that directory, exactly as given (a trailing dot or space included). A link is
// renamed itself, never what it points at; an existing entry is never replaced.
RelativeRename rename_relative(void* directory, std::wstring_view from, std::wstring_view to);

}  // namespace tavrik::platform::win32
