// What the window's logic asks of a window system: texts of the controls, the variant list,
// message boxes, file dialogs, the clipboard, the cursor, and work away from the window's thread.
// The Win32 main window implements it; a recording fake implements it for tests, so the logic runs
// without a screen.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrik::ui {

using ControlId = int;

enum class MessageBoxIcon { Information, Warning, Error };
enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxAnswer { Ok, Yes, No };

struct FileDialog {
    enum class Purpose { Open, Save };
    Purpose purpose = Purpose::Open;
    std::u16string title;
    std::vector<std::pair<std::u16string, std::u16string>> filters;  // description, pattern
    std::u16string initial_name;
    std::u16string default_extension;  // empty: none
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // The input box's text, as characters (ui/input_text.hpp turns it into the engine's bytes);
    // and the same the other way.
    virtual std::u16string input_text() = 0;
    virtual void set_input_text(std::u16string_view text) = 0;

    // Sets the text of a control (or of the window itself), as characters.
    virtual void set_text(ControlId control, std::u16string_view text) = 0;

    // The variant list. Filling replaces every line at once and draws the list once, with line
    // `selected` selected (-1: none). Selecting raises no selection notification.
    virtual void fill_list(std::span<const std::u16string> lines, int selected) = 0;
    virtual void select_list_line(int index) = 0;
    virtual int selected_list_line() = 0;  // -1: none

    // Modal, owned by the main window.
    virtual MessageBoxAnswer message_box(std::u16string_view text, std::u16string_view caption,
                                         MessageBoxIcon icon,
                                         MessageBoxButtons buttons = MessageBoxButtons::Ok) = 0;

    // The path the user chose, or nothing when the dialog was cancelled.
    virtual std::optional<std::u16string> choose_file(const FileDialog& dialog) = 0;
    // The folder the user chose in the system's folder picker, or nothing when cancelled.
    virtual std::optional<std::u16string> choose_folder() = 0;

    // Puts text on the clipboard; false when the clipboard could not be had.
    virtual bool set_clipboard_text(std::u16string_view text) = 0;

    // Shows the wait cursor while a long command runs, and the previous one afterwards.
    virtual void show_wait_cursor() = 0;
    virtual void restore_cursor() = 0;

    // The control that has the keyboard focus; 0 when none of them has it.
    virtual ControlId focused_control() = 0;
    // Selects the whole text of a text box.
    virtual void select_all_text(ControlId control) = 0;

    // Moves and sizes a child control; repaints the whole window.
    virtual void place_control(ControlId control, const Rect& rect) = 0;
    virtual void repaint() = 0;

    // Destroys the main window, which ends the program.
    virtual void close() = 0;

    // The text a control (or the window itself) shows now.
    virtual std::u16string control_text(ControlId control) = 0;

    // Work away from the window's thread, one at a time. start_work runs `work` on a thread of
    // its own, after waiting for the previous work to end; false when no thread could be had
    // (nothing runs then). finish_work waits until the work has ended. While the work runs, the
    // window's thread calls on_work_notice (ui/system_check_progress.hpp) a few times a second,
    // never so often that input waits; and soon after notify_window, which may be called from
    // any thread (several notices may arrive as one).
    virtual bool start_work(std::function<void()> work) = 0;
    virtual void finish_work() = 0;
    virtual void notify_window() = 0;
};

}  // namespace tavrik::ui
