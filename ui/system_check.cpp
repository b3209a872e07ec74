#include "ui/system_check.hpp"

#include <optional>
#include <string>

#include "ui/system_check_progress.hpp"

namespace tavrik {

namespace {

using ui::MessageBoxButtons;
using ui::MessageBoxIcon;

constexpr std::u16string_view NOTHING_FOUND = u"Битых имён не найдено.\nВсе файлы в порядке.";
constexpr std::u16string_view CHECK_CAPTION = u"Проверка системы";
constexpr std::u16string_view FOLDER_CHECK_CAPTION = u"Проверка папки";
constexpr std::u16string_view FOUND =
    u"Найдены файлы и папки с битыми именами.\n\nИсправить их сейчас?";
constexpr std::u16string_view RESULT_CAPTION = u"Результат";
constexpr std::u16string_view CHECK_FIRST = u"Сначала: Инструменты → Проверить систему.";
constexpr std::u16string_view FIX_CAPTION = u"Исправление";
constexpr std::u16string_view CHECK_CANCELLED =
    u"Проверка системы отменена.\nНичего не переименовано.";
constexpr std::u16string_view CHECK_RUNNING =
    u"Проверка системы ещё идёт.\nДождитесь её окончания или отмените её.";
constexpr std::u16string_view FOLDER_CHECK_CANCELLED =
    u"Проверка папки отменена.\nНичего не переименовано.";
constexpr std::u16string_view FOLDER_CHECK_RUNNING =
    u"Проверка папки ещё идёт.\nДождитесь её окончания или отмените её.";

// The wait cursor for as long as it lives, restored however the work ends.
class WaitCursor {
  public:
    explicit WaitCursor(ui::WindowSystem& window) : window_(window) { window_.show_wait_cursor(); }
    ~WaitCursor() { window_.restore_cursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    ui::WindowSystem& window_;
};

std::u16string number(int value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

}  // namespace

std::u16string found_caption(int count) {
    return u"Найдено " + number(count) + u" проблем";
}

std::u16string result_text(int fixed, int errors) {
    return u"Исправлено: " + number(fixed) + u"\nОшибок: " + number(errors);
}

void apply_renames(MainWindowState& state) {
    ui::WindowSystem& window = *state.window;
    const RenameCounts counts = [&] {
        const WaitCursor waiting(window);
        return rename_broken_names(state.broken_names);
    }();
    window.message_box(result_text(counts.fixed, counts.errors), RESULT_CAPTION,
                       counts.errors > 0 ? MessageBoxIcon::Warning : MessageBoxIcon::Information);
    free_broken_names(state.broken_names);
}

void check_system(MainWindowState& state) {
    if (system_walk_running(state)) return;
    free_broken_names(state.broken_names);
    state.folder_check = false;
    start_system_walk(state);
}

void check_folder(MainWindowState& state) {
    if (system_walk_running(state)) return;
    const std::optional<std::u16string> folder = state.window->choose_folder();
    if (!folder || folder->empty()) return;  // cancelled: the last check's list stays
    free_broken_names(state.broken_names);
    state.folder_check = true;
    start_system_walk(state, *folder);
}

void report_cancelled_check(MainWindowState& state) {
    free_broken_names(state.broken_names);
    state.window->message_box(state.folder_check ? FOLDER_CHECK_CANCELLED : CHECK_CANCELLED,
                              state.folder_check ? FOLDER_CHECK_CAPTION : CHECK_CAPTION,
                              MessageBoxIcon::Information);
}

// What the walk could not look at (a folder it could not read, a path too long to name) is
// said, so that a check never claims all is well where it did not look.
std::u16string with_what_was_skipped(std::u16string_view text, const BrokenNameList& list) {
    std::u16string shown(text);
    if (!list.skipped.empty()) {
        shown += u"\n\nНе удалось проверить (папка не читается или путь слишком длинный): " +
                 number(static_cast<int>(list.skipped.size())) + u".";
    }
    return shown;
}

void report_check(MainWindowState& state) {
    ui::WindowSystem& window = *state.window;
    const int count = state.broken_names.count();
    const bool skipped = !state.broken_names.skipped.empty();
    if (count == 0) {
        window.message_box(with_what_was_skipped(NOTHING_FOUND, state.broken_names),
                           state.folder_check ? FOLDER_CHECK_CAPTION : CHECK_CAPTION,
                           skipped ? MessageBoxIcon::Warning : MessageBoxIcon::Information);
        return;
    }
    const auto answer =
        window.message_box(with_what_was_skipped(FOUND, state.broken_names), found_caption(count),
                           MessageBoxIcon::Warning, MessageBoxButtons::YesNo);
    // Any other answer keeps the list for a later fix-system.
    if (answer == ui::MessageBoxAnswer::Yes) apply_renames(state);
}

void fix_system(MainWindowState& state) {
    if (system_walk_running(state)) {
        state.window->message_box(state.folder_check ? FOLDER_CHECK_RUNNING : CHECK_RUNNING,
                                  FIX_CAPTION, MessageBoxIcon::Information);
        return;
    }
    if (state.broken_names.empty()) {
        state.window->message_box(CHECK_FIRST, FIX_CAPTION, MessageBoxIcon::Information);
        return;
    }
    apply_renames(state);
}

void release_broken_names(MainWindowState& state) {
    free_broken_names(state.broken_names);
}

}  // namespace tavrik
