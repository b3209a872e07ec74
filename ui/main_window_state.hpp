// The window-wide state every command works on.
#pragma once

#include <memory>
#include <vector>

#include "engine/candidates.hpp"
#include "names/folder_scan.hpp"
#include "ui/system_walk.hpp"
#include "ui/window_system.hpp"

namespace tavrik {

struct MainWindowState {
    ui::WindowSystem* window = nullptr;  // the main window, owner of every box and dialog
    std::vector<Candidate> candidates;   // of the last fix action, in enumeration order
    int selected = -1;                   // the candidate shown; -1 when none
    BrokenNameList broken_names;         // of the last check-system, until renamed
    std::unique_ptr<SystemWalk> walk;    // the check-system walk while it runs
    bool folder_check = false;           // the last check was of a folder the person picked

    bool has_selection() const {
        return selected >= 0 && static_cast<std::size_t>(selected) < candidates.size();
    }
};

}  // namespace tavrik
