#include "tests/support/recording_window_system.hpp"

#include "ui/input_text.hpp"

namespace tavrik::test {

std::u16string RecordingWindowSystem::text(ui::ControlId control) const {
    const auto found = texts.find(control);
    return found == texts.end() ? std::u16string() : found->second;
}

void RecordingWindowSystem::set_text(ui::ControlId control, std::u16string_view text) {
    texts[control] = text;
}

void RecordingWindowSystem::paste_ansi(std::string_view bytes) {
    input = text_from_ansi(bytes);
}

void RecordingWindowSystem::fill_list(std::span<const std::u16string> lines, int selected) {
    ++list_fills;
    list.assign(lines.begin(), lines.end());
    select_list_line(selected);
}

void RecordingWindowSystem::select_list_line(int index) {
    list_selection = index >= 0 && static_cast<std::size_t>(index) < list.size() ? index : -1;
}

ui::MessageBoxAnswer RecordingWindowSystem::message_box(std::u16string_view text,
                                                        std::u16string_view caption,
                                                        ui::MessageBoxIcon icon,
                                                        ui::MessageBoxButtons buttons) {
    message_boxes.push_back({std::u16string(text), std::u16string(caption), icon, buttons});
    if (buttons == ui::MessageBoxButtons::Ok) return ui::MessageBoxAnswer::Ok;
    if (answers.empty()) return ui::MessageBoxAnswer::No;
    const ui::MessageBoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::u16string> RecordingWindowSystem::choose_folder() {
    ++folder_dialogs;
    if (chosen_folders.empty()) return std::nullopt;
    auto chosen = chosen_folders.front();
    chosen_folders.pop_front();
    return chosen;
}

std::optional<std::u16string> RecordingWindowSystem::choose_file(const ui::FileDialog& dialog) {
    file_dialogs.push_back(dialog);
    if (chosen_files.empty()) return std::nullopt;
    auto chosen = chosen_files.front();
    chosen_files.pop_front();
    return chosen;
}

bool RecordingWindowSystem::set_clipboard_text(std::u16string_view text) {
    if (!clipboard_available) return false;
    clipboard = std::u16string(text);
    return true;
}

void RecordingWindowSystem::show_wait_cursor() {
    ++wait_cursors;
    ++cursor_changes;
}

void RecordingWindowSystem::restore_cursor() {
    --wait_cursors;
    ++cursor_changes;
}

void RecordingWindowSystem::place_control(ui::ControlId control, const ui::Rect& rect) {
    places[control] = rect;
}

RecordingWindowSystem::~RecordingWindowSystem() {
    finish_work();
}

bool RecordingWindowSystem::start_work(std::function<void()> work) {
    finish_work();
    switch (work_mode) {
        case Work::no_thread:
            return false;
        case Work::at_once:
            work();
            break;
        case Work::held:
            held_work_ = std::move(work);
            break;
        case Work::on_a_thread:
            thread_ = std::thread(std::move(work));
            break;
    }
    ++works_started;
    return true;
}

void RecordingWindowSystem::finish_work() {
    run_held_work();
    if (thread_.joinable()) thread_.join();
}

bool RecordingWindowSystem::run_held_work() {
    if (!held_work_) return false;
    const std::function<void()> work = std::move(held_work_);
    held_work_ = nullptr;
    work();
    return true;
}

int RecordingWindowSystem::deliver_notices() {
    const int delivered = notices.exchange(0);
    if (delivered > 0 && on_notice) on_notice();
    return delivered;
}

}  // namespace tavrik::test
