#include "platform/fake/recording_window_system.hpp"

namespace tavrik::platform {

std::u16string RecordingWindowSystem::text(ControlId control) const {
    const auto found = texts.find(control);
    return found == texts.end() ? std::u16string() : found->second;
}

void RecordingWindowSystem::set_text(ControlId control, std::u16string_view text) {
    texts[control] = text;
}

void RecordingWindowSystem::clear_list() {
    list.clear();
    list_selection = -1;
}

void RecordingWindowSystem::add_list_line(std::u16string_view line) { list.emplace_back(line); }

void RecordingWindowSystem::select_list_line(int index) {
    list_selection = index >= 0 && static_cast<std::size_t>(index) < list.size() ? index : -1;
}

MessageBoxAnswer RecordingWindowSystem::message_box(std::u16string_view text,
                                                    std::u16string_view caption,
                                                    MessageBoxIcon icon,
                                                    MessageBoxButtons buttons) {
    message_boxes.push_back({std::u16string(text), std::u16string(caption), icon, buttons});
    if (buttons == MessageBoxButtons::Ok) return MessageBoxAnswer::Ok;
    if (answers.empty()) return MessageBoxAnswer::No;
    const MessageBoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::u16string> RecordingWindowSystem::choose_file(const FileDialog& dialog) {
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

void RecordingWindowSystem::place_control(ControlId control, const Rect& rect) {
    places[control] = rect;
}

}  // namespace tavrik::platform
