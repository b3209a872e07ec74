// A window system without a screen: it keeps the texts, the list and the clipboard the window's
// logic sets, records every message box and dialog, and answers them as a test scripts it. Work
// meant for another thread runs at once, or when the test says, or on a real thread; the window's
// notices wait until the test delivers them.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ui/window_system.hpp"

namespace tavrik::test {

class RecordingWindowSystem : public ui::WindowSystem {
  public:
    struct ShownMessageBox {
        std::u16string text;
        std::u16string caption;
        ui::MessageBoxIcon icon;
        ui::MessageBoxButtons buttons;
    };

    // What the test sets up.
    std::u16string input;                                      // the input box
    std::deque<ui::MessageBoxAnswer> answers;                  // for Yes/No boxes; Ok otherwise
    std::deque<std::optional<std::u16string>> chosen_files;    // nothing: the dialog is cancelled
    std::deque<std::optional<std::u16string>> chosen_folders;  // the same for the folder picker
    int folder_dialogs = 0;
    bool clipboard_available = true;
    ui::ControlId focus = 0;  // the control with the focus
    enum class Work { at_once, held, on_a_thread, no_thread };
    Work work_mode = Work::at_once;   // held: runs at run_held_work or finish_work
    std::function<void()> on_notice;  // what the window's thread does with a notice

    // What the logic did.
    std::map<ui::ControlId, std::u16string> texts;
    std::vector<std::u16string> list;
    int list_fills = 0;
    int list_selection = -1;
    std::vector<ShownMessageBox> message_boxes;
    std::vector<ui::FileDialog> file_dialogs;
    std::optional<std::u16string> clipboard;
    std::vector<ui::ControlId> selected_all;  // text boxes whose whole text was selected
    std::map<ui::ControlId, ui::Rect> places;
    int repaints = 0;
    int wait_cursors = 0;  // shown and not yet restored
    int cursor_changes = 0;
    bool closed = false;
    int works_started = 0;
    std::atomic<int> notices{0};  // not yet delivered

    ~RecordingWindowSystem() override;

    std::u16string text(ui::ControlId control) const;
    // Runs the held work, as its thread would; false when none is held.
    bool run_held_work();
    // Delivers the waiting notices to on_notice, as the window's thread would (one call for
    // several); the number delivered.
    int deliver_notices();

    // Puts bytes into the input box as a paste on a system with that ANSI code page shows them.
    void paste_ansi(std::string_view bytes);

    std::u16string input_text() override { return input; }
    void set_input_text(std::u16string_view text) override { input = text; }
    void set_text(ui::ControlId control, std::u16string_view text) override;
    void fill_list(std::span<const std::u16string> lines, int selected) override;
    void select_list_line(int index) override;
    int selected_list_line() override { return list_selection; }
    ui::MessageBoxAnswer message_box(std::u16string_view text, std::u16string_view caption,
                                     ui::MessageBoxIcon icon,
                                     ui::MessageBoxButtons buttons) override;
    std::optional<std::u16string> choose_file(const ui::FileDialog& dialog) override;
    std::optional<std::u16string> choose_folder() override;
    bool set_clipboard_text(std::u16string_view text) override;
    void show_wait_cursor() override;
    void restore_cursor() override;
    ui::ControlId focused_control() override { return focus; }
    void select_all_text(ui::ControlId control) override { selected_all.push_back(control); }
    void place_control(ui::ControlId control, const ui::Rect& rect) override;
    void repaint() override { ++repaints; }
    void close() override { closed = true; }
    std::u16string control_text(ui::ControlId control) override { return text(control); }
    bool start_work(std::function<void()> work) override;
    void finish_work() override;
    void notify_window() override { ++notices; }

  private:
    std::function<void()> held_work_;
    std::thread thread_;
};

}  // namespace tavrik::test
