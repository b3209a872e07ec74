#include "ui/commands.hpp"

#include <exception>

#include "ui/controls.hpp"
#include "ui/system_check.hpp"
#include "ui/system_check_progress.hpp"
#include "ui/text_panel.hpp"

namespace tavrik {

namespace {

// Memory ran out in the middle of a command: the command is abandoned, and what it had built
// halfway is dropped so that nothing acts on it later (a half-filled list of variants, a
// broken-name list that misses entries).
void abandon(MainWindowState& state, int id) noexcept {
    switch (id) {
        case IDC_FIX:
        case IDC_OPEN:  // opening fixes what it loaded
        case IDM_OPEN:
            state.candidates.clear();
            state.selected = -1;
            state.window->fill_list({}, -1);
            break;
        case IDC_CHECK_SYSTEM:
        case IDM_CHECK_SYSTEM:
        case IDM_CHECK_FOLDER:
        case IDM_FIX_SYSTEM:
            release_broken_names(state);
            break;
        default:
            break;
    }
}

void run_command(MainWindowState& state, int id, int notification) {
    switch (id) {
        case IDC_VARIANTS:
            if (notification == LIST_SELECTION_CHANGED) select_variant(state);
            break;
        case IDC_FIX:
            fix_input(state);
            break;
        case IDC_OPEN:
        case IDM_OPEN:
            open_text_file(state);
            break;
        case IDC_COPY:
            copy_selected(state);
            break;
        case IDC_SAVE:
            save_selected(state);
            break;
        case IDC_CHECK_SYSTEM:  // while a walk runs, the button stops it
            system_walk_running(state) ? cancel_system_walk(state) : check_system(state);
            break;
        case IDM_CHECK_SYSTEM:
            check_system(state);
            break;
        case IDM_CHECK_FOLDER:
            check_folder(state);
            break;
        case IDM_FIX_SYSTEM:
            fix_system(state);
            break;
        case IDM_EXIT:
            state.window->close();
            break;
        case IDM_ABOUT:
            show_about(state);
            break;
        case IDM_SELECT_ALL:
            select_all_in_focused_box(state);
            break;
        default:
            break;  // the boxes' and labels' notifications, and anything else
    }
}

}  // namespace

void on_command(MainWindowState& state, int id, int notification) noexcept {
    try {
        run_command(state, id, notification);
    } catch (const std::exception&) {  // memory running out, in practice
        abandon(state, id);
    }
}

void on_key_down(MainWindowState& state, unsigned key) noexcept {
    if (key == KEY_F5) on_command(state, IDC_FIX, 0);
}

void show_about(MainWindowState& state) {
    state.window->message_box(ABOUT_TEXT, ABOUT_CAPTION, ui::MessageBoxIcon::Information);
}

void on_destroy(MainWindowState& state) {
    stop_system_walk(state);
    state.candidates.clear();
    state.selected = -1;
    release_broken_names(state);
}

}  // namespace tavrik
