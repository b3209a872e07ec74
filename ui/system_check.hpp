// The check-system and fix-system commands: broken file names in the user's folders.
#pragma once

#include "ui/main_window_state.hpp"

namespace tavrik {

void check_system(MainWindowState& state);
void fix_system(MainWindowState& state);
void release_broken_names(MainWindowState& state);

}  // namespace tavrik
