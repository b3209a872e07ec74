#include "ui/text_panel.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "encoding/up_to_nul.hpp"
#include "encoding/utf8.hpp"
#include "platform/files.hpp"
#include "ui/controls.hpp"
#include "ui/input_text.hpp"
#include "ui/list_line.hpp"
#include "ui/variant_rows.hpp"

namespace tavrik {

namespace {

using ui::MessageBoxIcon;

constexpr std::u16string_view INFORMATION = u"Информация";
constexpr std::u16string_view ERROR_CAPTION = u"Ошибка";
constexpr std::u16string_view CHOOSE_A_VARIANT = u"Выберите вариант из списка.";
constexpr std::u16string_view CANNOT_WRITE = u"Не удалось записать.";
constexpr std::u16string_view CANNOT_OPEN = u"Не удалось открыть файл.";
constexpr std::u16string_view WARNING_CAPTION = u"Предупреждение";
constexpr std::u16string_view NUL_BYTE_CUT =
    u"В файле есть нулевой байт: загружен только текст до первого нулевого байта.\n"
    u"Исправленный текст будет неполным.";
constexpr std::u16string_view NUL_CHARACTER_CUT =
    u"В тексте файла есть нулевой символ: загружен только текст до первого из них.\n"
    u"Исправленный текст будет неполным.";
constexpr std::u16string_view FILE_CUT =
    u"Файл больше 1 МБ: загружено только его начало (1 048 575 байт).\n"
    u"Исправленный текст будет неполным.";

ui::FileDialog save_dialog() {
    return {ui::FileDialog::Purpose::Save,
            u"Сохранить",
            {{u"Текст", u"*.txt"}, {u"Все файлы", u"*.*"}},
            u"исправлено.txt",
            u"txt"};
}

ui::FileDialog open_dialog() {
    return {ui::FileDialog::Purpose::Open,
            u"Открыть файл",
            {{u"Все файлы", u"*.*"}, {u"Текст", u"*.txt"}},
            u"",
            u""};
}

const Candidate& selected_candidate(const MainWindowState& state) {
    return state.candidates[static_cast<std::size_t>(state.selected)];
}

}  // namespace

std::u16string score_line(const Candidate& candidate) {
    std::array<char, 32> score{};
    std::snprintf(score.data(), score.size(), "%.0f", candidate.score);
    std::u16string line = u"Оценка: ";
    for (const char* c = score.data(); *c != '\0'; ++c)
        line += static_cast<char16_t>(*c);
    line += u"  |  ";
    line += encoding::utf8::decode_lossy(candidate.label_text());
    if (line.size() > SCORE_LINE_SIZE - 1) {
        line.resize(SCORE_LINE_SIZE - 1);
        if (line.back() >= 0xD800 && line.back() <= 0xDBFF) line.pop_back();  // half a pair
    }
    return line;
}

std::u16string text_for_display(std::string_view utf8) {
    const std::u16string text = encoding::utf8::decode_lossy(encoding::up_to_nul(utf8));
    std::u16string shown;
    shown.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            shown += u"\r\n";
        } else {
            shown += text[i];
        }
    }
    return shown;
}

void fix_input(MainWindowState& state) {
    ui::WindowSystem& window = *state.window;
    state.candidates.clear();
    state.selected = -1;

    const std::u16string pasted = window.input_text();
    const std::string input = engine_input(pasted);
    if (input.empty()) {
        window.set_text(IDC_OUTPUT, u"");
        window.set_text(IDC_SCORE, NO_SCORE);
        window.fill_list({}, -1);
        return;
    }
    // The catalogue's rows from the bytes as the window always handed them over, ours from the
    // text as pasted.
    std::string seen;
    encoding::utf8::encode_lenient(pasted, seen);
    VariantRows variants;
    std::vector<std::u16string> lines;
    try {
        variants = variant_rows(input, seen, "utf8");
        state.candidates = std::move(variants.rows);
        lines.reserve(state.candidates.size());
        for (const Candidate& candidate : state.candidates) {
            lines.push_back(list_line_for_display(candidate));
        }
    } catch (const std::bad_alloc&) {
        state.candidates.clear();  // the run's candidates are dropped
        lines.clear();
    }

    if (state.candidates.empty()) {
        window.fill_list({}, -1);
        return;  // the output and the score keep what they showed
    }
    // All lines at once, drawn once; the output and the score line are set once.
    const int chosen = variants.preselected;
    window.fill_list(lines, chosen);
    show_candidate(state, chosen);
}

void show_candidate(MainWindowState& state, int index) {
    state.selected = index;
    const Candidate& candidate = selected_candidate(state);
    state.window->set_text(IDC_OUTPUT, text_for_display(candidate.view()));
    state.window->set_text(IDC_SCORE, score_line(candidate));
}

void select_variant(MainWindowState& state) {
    const int selection = state.window->selected_list_line();
    if (selection < 0 || static_cast<std::size_t>(selection) >= state.candidates.size()) return;
    show_candidate(state, selection);
}

void copy_selected(MainWindowState& state) {
    if (!state.has_selection()) return;
    state.window->set_clipboard_text(
        encoding::utf8::decode_lossy(encoding::up_to_nul(selected_candidate(state).view())));
}

void save_selected(MainWindowState& state) {
    ui::WindowSystem& window = *state.window;
    if (!state.has_selection()) {
        window.message_box(CHOOSE_A_VARIANT, INFORMATION, MessageBoxIcon::Information);
        return;
    }
    const auto path = window.choose_file(save_dialog());
    if (!path) return;
    // Exactly the candidate's bytes, UTF-8 without a byte order mark; an existing file keeps its
    // content unless the whole text was written.
    if (!platform::write_file_replacing(*path, selected_candidate(state).view())) {
        window.message_box(CANNOT_WRITE, ERROR_CAPTION, MessageBoxIcon::Error);
    }
}

void open_text_file(MainWindowState& state) {
    const auto path = state.window->choose_file(open_dialog());
    if (path) open_text_path(state, *path);
}

void open_text_path(MainWindowState& state, std::u16string_view path) {
    ui::WindowSystem& window = *state.window;
    const auto file = platform::read_file_prefix(path, OPEN_READ_LIMIT);
    if (!file) {
        window.message_box(CANNOT_OPEN, ERROR_CAPTION, MessageBoxIcon::Error);
        return;
    }
    const FileText text = text_of_file(file->bytes, file->truncated);
    window.set_input_text(text.text);
    fix_input(state);
    // A partial text saved unknowingly would lose the rest of the file.
    if (text.cut_at_nul) {
        window.message_box(text.utf16 ? NUL_CHARACTER_CUT : NUL_BYTE_CUT, WARNING_CAPTION,
                           MessageBoxIcon::Warning);
    }
    if (file->truncated) window.message_box(FILE_CUT, WARNING_CAPTION, MessageBoxIcon::Warning);
}

std::u16string only_first_file_note(std::size_t count, std::u16string_view first,
                                    FilesGiven given) {
    std::u16string note =
        given == FilesGiven::Dropped ? u"Перетащено файлов: " : u"Передано файлов: ";
    const std::string number = std::to_string(count);
    note.append(number.begin(), number.end());
    note += u". Открывается только первый из них:\n";
    note += first;
    return note;
}

void open_first_file(MainWindowState& state, std::span<const std::u16string> given_paths,
                     FilesGiven given) {
    // An empty argument (`tavrik.exe ""`, a shortcut with "%1" and no file) names no file.
    std::vector<std::u16string> paths;
    std::copy_if(given_paths.begin(), given_paths.end(), std::back_inserter(paths),
                 [](const std::u16string& path) { return !path.empty(); });
    if (paths.empty()) return;
    if (paths.size() > 1) {
        state.window->message_box(only_first_file_note(paths.size(), paths.front(), given),
                                  INFORMATION, MessageBoxIcon::Information);
    }
    open_text_path(state, paths.front());
}

void select_all_in_focused_box(MainWindowState& state) {
    const ControlId focused = state.window->focused_control();
    if (focused == IDC_INPUT || focused == IDC_OUTPUT) state.window->select_all_text(focused);
}

}  // namespace tavrik
