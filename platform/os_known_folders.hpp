// What each operating system layer supplies for the known folders.
#pragma once

#include <optional>
#include <string>

namespace tavrik::platform::os {

std::optional<std::u16string> known_folder_path(int csidl);

}  // namespace tavrik::platform::os
