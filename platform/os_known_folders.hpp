// What each operating system layer supplies for the known folders.
#pragma once

#include <optional>
#include <string>

#include "platform/known_folders.hpp"

namespace tavrik::platform::os {

std::optional<std::u16string> known_folder_path(KnownFolder folder);

}  // namespace tavrik::platform::os
