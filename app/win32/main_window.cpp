#include "app/win32/main_window.hpp"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <thread>

#include "platform/path_limits.hpp"
#include "platform/win32/wide_text.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/layout.hpp"
#include "ui/main_window_state.hpp"
#include "ui/system_check_progress.hpp"
#include "ui/window_system.hpp"

namespace tavrik::win32 {

namespace {

static_assert(LBN_SELCHANGE == LIST_SELECTION_CHANGED);
static_assert(VK_F5 == KEY_F5);

// Work away from the window's thread (the check-system walk): the notice it posts, and the timer
// that has the window look at its progress meanwhile (WM_TIMER never holds up input).
constexpr UINT WM_WORK_NOTICE = WM_APP + 1;
constexpr UINT_PTR WORK_TIMER = 0x7A4B;  // an id no other timer of the window uses
constexpr UINT WORK_TIMER_MS = 150;

using platform::win32::wide;
std::u16string owned(std::u16string_view text) {
    return std::u16string(text);
}

class Font {
  public:
    Font() = default;
    explicit Font(const LOGFONTW& description) : handle_(CreateFontIndirectW(&description)) {}
    ~Font() { reset(); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    Font& operator=(Font&& other) noexcept {
        reset();
        handle_ = other.handle_;
        other.handle_ = nullptr;
        return *this;
    }
    HFONT get() const { return handle_; }
    void reset() {
        if (handle_) DeleteObject(handle_);
        handle_ = nullptr;
    }

  private:
    HFONT handle_ = nullptr;
};

DWORD style_of(ControlKind kind) {
    constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::Label:
            return CHILD;
        case ControlKind::ScoreLine:
            return CHILD | SS_CENTERIMAGE;
        case ControlKind::Button:
            return CHILD | WS_TABSTOP;
        case ControlKind::InputBox:
            return CHILD | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL |
                   ES_WANTRETURN;
        case ControlKind::OutputBox:
            return CHILD | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_READONLY;
        case ControlKind::VariantList:
            return CHILD | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS | LBS_USETABSTOPS;
    }
    return CHILD;
}

DWORD extended_style_of(ControlKind kind) {
    return kind == ControlKind::InputBox || kind == ControlKind::OutputBox ||
                   kind == ControlKind::VariantList
               ? WS_EX_CLIENTEDGE
               : 0;
}

// The window system the window's logic works through: USER32, COMDLG32 and the clipboard.
class Win32WindowSystem final : public ui::WindowSystem {
  public:
    HWND main = nullptr;

    HWND control(ControlId id) const { return GetDlgItem(main, id); }

    std::u16string input_text() override {
        const HWND input = control(IDC_INPUT);
        const int length = GetWindowTextLengthW(input);
        if (length <= 0) return {};
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        const int copied =
            GetWindowTextW(input, reinterpret_cast<wchar_t*>(text.data()), length + 1);
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        return text;
    }

    void set_input_text(std::u16string_view text) override {
        SetWindowTextW(control(IDC_INPUT), wide(owned(text)));
    }

    void set_text(ControlId id, std::u16string_view text) override {
        SetWindowTextW(control(id), wide(owned(text)));
    }

    void fill_list(std::span<const std::u16string> lines, int selected) override {
        // Drawn once, after the last line: redrawing after every line takes most of a fix.
        const HWND list = control(IDC_VARIANTS);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const std::u16string& line : lines) {
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line)));
        }
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }

    void select_list_line(int index) override {
        SendMessageW(control(IDC_VARIANTS), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    int selected_list_line() override {
        const LRESULT selection = SendMessageW(control(IDC_VARIANTS), LB_GETCURSEL, 0, 0);
        return selection == LB_ERR ? -1 : static_cast<int>(selection);
    }

    ui::MessageBoxAnswer message_box(std::u16string_view text, std::u16string_view caption,
                                           ui::MessageBoxIcon icon,
                                           ui::MessageBoxButtons buttons) override {
        UINT flags = buttons == ui::MessageBoxButtons::YesNo ? MB_YESNO : MB_OK;
        flags |= icon == ui::MessageBoxIcon::Error     ? MB_ICONERROR
                 : icon == ui::MessageBoxIcon::Warning ? MB_ICONWARNING
                                                             : MB_ICONINFORMATION;
        const int answer = MessageBoxW(main, wide(owned(text)), wide(owned(caption)), flags);
        return answer == IDYES  ? ui::MessageBoxAnswer::Yes
               : answer == IDNO ? ui::MessageBoxAnswer::No
                                : ui::MessageBoxAnswer::Ok;
    }

    std::optional<std::u16string> choose_file(const ui::FileDialog& dialog) override {
        std::u16string filter;  // "description\0pattern\0...\0"
        for (const auto& [description, pattern] : dialog.filters) {
            filter += description;
            filter += u'\0';
            filter += pattern;
            filter += u'\0';
        }
        filter += u'\0';
        std::u16string file(platform::MAX_PATH_UNITS + 1, u'\0');
        file.replace(0, dialog.initial_name.size(), dialog.initial_name);
        const std::u16string title = dialog.title;
        const std::u16string extension = dialog.default_extension;

        OPENFILENAMEW request{};
        request.lStructSize = sizeof request;
        request.hwndOwner = main;
        request.lpstrFilter = wide(filter);
        request.nFilterIndex = 1;
        request.lpstrFile = platform::win32::wide_buffer(file);
        request.nMaxFile = static_cast<DWORD>(file.size());
        request.lpstrTitle = wide(title);
        const bool save = dialog.purpose == ui::FileDialog::Purpose::Save;
        if (!extension.empty()) request.lpstrDefExt = wide(extension);
        request.Flags = save ? OFN_OVERWRITEPROMPT : OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        const BOOL chosen = save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
        if (!chosen) return std::nullopt;
        file.resize(file.find(u'\0'));
        return file;
    }

    bool set_clipboard_text(std::u16string_view text) override {
        const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (!memory) return false;
        void* target = GlobalLock(memory);
        if (!target) {
            GlobalFree(memory);
            return false;
        }
        const std::u16string copy(text);
        std::memcpy(target, copy.c_str(), bytes);
        GlobalUnlock(memory);
        if (!OpenClipboard(main)) {
            GlobalFree(memory);
            return false;
        }
        EmptyClipboard();
        const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!placed) GlobalFree(memory);  // the clipboard owns it only once placed
        CloseClipboard();
        return placed;
    }

    void show_wait_cursor() override {
        previous_cursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    void restore_cursor() override { SetCursor(previous_cursor_); }

    void place_control(ControlId id, const ui::Rect& rect) override {
        SetWindowPos(control(id), nullptr, rect.x, rect.y, rect.width, rect.height, SWP_NOZORDER);
    }

    void repaint() override { RedrawWindow(main, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE); }

    void close() override { DestroyWindow(main); }

    std::u16string control_text(ControlId id) override {
        const HWND window = id == 0 ? main : control(id);
        const int length = GetWindowTextLengthW(window);
        if (length <= 0) return {};
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        const int copied = GetWindowTextW(window, platform::win32::wide_buffer(text), length + 1);
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        return text;
    }

    // A thread of the standard library; its notices are posted to the window that started it.
    bool start_work(std::function<void()> work) override {
        finish_work();
        work_window_ = main;
        try {
            worker_ = std::thread(std::move(work));
        } catch (const std::system_error&) {
            return false;
        }
        SetTimer(work_window_, WORK_TIMER, WORK_TIMER_MS, nullptr);
        return true;
    }
    void finish_work() override {
        if (!worker_.joinable()) return;
        worker_.join();
        KillTimer(work_window_, WORK_TIMER);
    }
    void notify_window() override { PostMessageW(work_window_, WM_WORK_NOTICE, 0, 0); }

    ~Win32WindowSystem() override { finish_work(); }

  private:
    HCURSOR previous_cursor_ = nullptr;
    HWND work_window_ = nullptr;  // set before the work starts, read by it
    std::thread worker_;
};

// Everything the one main window holds.
struct MainWindow {
    Win32WindowSystem system;
    MainWindowState state;
    Font ui_font;
    Font bold_font;
    Font mono_font;
};

MainWindow& the_main_window() {
    static MainWindow window;
    return window;
}

void create_fonts(MainWindow& window) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return;
    LOGFONTW font = metrics.lfMessageFont;
    window.ui_font = Font(font);
    font.lfWeight = FW_BOLD;
    window.bold_font = Font(font);
    constexpr wchar_t MONO_FACE[] = L"Consolas";
    std::copy(std::begin(MONO_FACE), std::end(MONO_FACE), font.lfFaceName);
    font.lfWeight = FW_NORMAL;
    window.mono_font = Font(font);
}

void set_font(HWND control, const Font& font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
}

void apply_fonts(MainWindow& window) {
    // Without the ui font no control gets any font, so that they all stay alike.
    if (!window.ui_font.get()) return;
    for (const ControlId id : {IDC_INPUT, IDC_OUTPUT, IDC_VARIANTS, IDC_SCORE, IDC_FIX, IDC_OPEN,
                               IDC_COPY, IDC_SAVE, IDC_CHECK_SYSTEM}) {
        set_font(window.system.control(id), window.ui_font);
    }
    if (window.bold_font.get()) {
        for (const ControlId id : {IDC_LABEL_INPUT, IDC_LABEL_VARIANTS, IDC_LABEL_OUTPUT}) {
            set_font(window.system.control(id), window.bold_font);
        }
    }
    if (window.mono_font.get()) {
        set_font(window.system.control(IDC_INPUT), window.mono_font);
        set_font(window.system.control(IDC_OUTPUT), window.mono_font);
    }
}

void create_menus(HWND main) {
    HMENU bar = CreateMenu();
    for (const MenuSpec& menu : MENUS) {
        HMENU popup = CreatePopupMenu();
        for (int i = 0; i < menu.item_count; ++i) {
            const auto& [id, text] = menu.items[static_cast<std::size_t>(i)];
            if (id == 0) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else {
                AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(id), wide(owned(text)));
            }
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), wide(owned(menu.title)));
    }
    SetMenu(main, bar);
}

void on_create(HWND main) {
    MainWindow& window = the_main_window();
    window.system.main = main;
    window.state = MainWindowState{};
    window.state.window = &window.system;
    create_fonts(window);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main, GWLP_HINSTANCE));
    for (const ControlSpec& described : CONTROLS) {
        CreateWindowExW(extended_style_of(described.kind), wide(owned(described.class_name)),
                        wide(owned(described.text)), style_of(described.kind), 0, 0, 0, 0, main,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(described.id)), instance, nullptr);
    }
    apply_fonts(window);
    INT stops[] = {LIST_TAB_STOPS[0], LIST_TAB_STOPS[1]};
    SendMessageW(window.system.control(IDC_VARIANTS), LB_SETTABSTOPS, 2,
                 reinterpret_cast<LPARAM>(stops));
    create_menus(main);
    // Again, now that the menu bar takes its share of the height.
    SetWindowPos(main, nullptr, 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, SWP_NOZORDER | SWP_NOMOVE);
}

void on_destroy(HWND) {
    MainWindow& window = the_main_window();
    tavrik::on_destroy(window.state);
    window.ui_font.reset();
    window.bold_font.reset();
    window.mono_font.reset();
    PostQuitMessage(0);
}

// Every WM_SIZE places the controls of the window that receives it, also while it is created.
void on_size(HWND main, int width) {
    Win32WindowSystem& system = the_main_window().system;
    system.main = main;
    layout_controls(system, width);
}

LRESULT handle_message(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
    MainWindow& main = the_main_window();
    switch (message) {
        case WM_CREATE:
            on_create(window);
            return 0;
        case WM_SIZE:
            on_size(window, LOWORD(l_param));
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(l_param);
            info->ptMinTrackSize = {MIN_WINDOW_WIDTH, MIN_WINDOW_HEIGHT};
            return 0;
        }
        case WM_KEYDOWN:
            on_key_down(main.state, static_cast<unsigned>(w_param));
            return 0;
        case WM_COMMAND:
            on_command(main.state, LOWORD(w_param), HIWORD(w_param));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(l_param) == GetDlgItem(window, IDC_SCORE)) {
                const HDC context = reinterpret_cast<HDC>(w_param);
                SetBkColor(context, GetSysColor(COLOR_WINDOW));
                SetTextColor(context, RGB(SCORE_TEXT_RED, SCORE_TEXT_GREEN, SCORE_TEXT_BLUE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        case WM_WORK_NOTICE:
            on_work_notice(main.state);
            return 0;
        case WM_TIMER:
            if (w_param != WORK_TIMER) break;
            on_work_notice(main.state);
            return 0;
        case WM_DESTROY:
            on_destroy(window);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, w_param, l_param);
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
    // No exception may unwind into the system's code that called us. The commands abandon
    // themselves when memory runs out; anything still thrown ends this message only, and a
    // window whose creation failed is not made.
    try {
        return handle_message(window, message, w_param, l_param);
    } catch (...) {
        return message == WM_CREATE ? -1 : 0;
    }
}

HWND create_main_window(HINSTANCE instance) {
    const std::u16string class_name(WINDOW_CLASS);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = main_window_proc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = wide(class_name);
    if (!RegisterClassW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }
    return CreateWindowExW(0, wide(class_name), wide(owned(WINDOW_TITLE)), WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, WINDOW_WIDTH, WINDOW_HEIGHT, nullptr,
                           nullptr, instance, nullptr);
}

int run_message_loop() {
    MSG message{};
    // An error (-1) ends the loop as WM_QUIT does.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace tavrik::win32
