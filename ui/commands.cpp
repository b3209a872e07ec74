#include "ui/commands.hpp"

#include "ui/controls.hpp"
#include "ui/system_check.hpp"
#include "ui/text_panel.hpp"

namespace tavrik {

void on_command(MainWindowState& state, int id, int notification) {
    switch (id) {
        case IDC_VARIANTS:
            if (notification == LIST_SELECTION_CHANGED) select_variant(state);
            break;
        case IDC_FIX: fix_input(state); break;
        case IDC_OPEN:
        case IDM_OPEN: open_text_file(state); break;
        case IDC_COPY: copy_selected(state); break;
        case IDC_SAVE: save_selected(state); break;
        case IDC_CHECK_SYSTEM:
        case IDM_CHECK_SYSTEM: check_system(state); break;
        case IDM_FIX_SYSTEM: fix_system(state); break;
        case IDM_EXIT: state.window->close(); break;
        case IDM_ABOUT: show_about(state); break;
        default: break;  // the boxes' and labels' notifications, and anything else
    }
}

void on_key_down(MainWindowState& state, unsigned key) {
    if (key == KEY_F5) fix_input(state);
}

void show_about(MainWindowState& state) {
    state.window->message_box(ABOUT_TEXT, ABOUT_CAPTION, ui::MessageBoxIcon::Information);
}

void on_destroy(MainWindowState& state) {
    state.candidates.clear();
    state.selected = -1;
    release_broken_names(state);
}

}  // namespace tavrik
