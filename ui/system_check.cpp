#include "ui/system_check.hpp"

namespace tavrik {

// The folder scan comes next; until then the commands do nothing.
void check_system(MainWindowState&) {}
void fix_system(MainWindowState&) {}
void release_broken_names(MainWindowState&) {}

}  // namespace tavrik
