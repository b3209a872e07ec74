#include "app/win32/main_window.hpp"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/path_limits.hpp"
#include "platform/win32/wide_text.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/layout.hpp"
#include "ui/main_window_state.hpp"
#include "ui/system_check_progress.hpp"
#include "ui/text_panel.hpp"
#include "ui/window_system.hpp"

namespace tavrik::win32 {

namespace {

static_assert(LBN_SELCHANGE == LIST_SELECTION_CHANGED);
static_assert(VK_F5 == KEY_F5);
static_assert(VK_RETURN == KEY_RETURN);

// Messages and functions of newer Windows versions, looked up when the program runs so that it
// still starts where they are missing.
constexpr UINT DPI_CHANGED = 0x02E0;  // WM_DPICHANGED, Windows 8.1

template <typename Function>
Function user32_function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    // Through the generic function pointer type, which converts to any other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The DPI the screen had when the user logged on; what DPI-unaware programs are drawn at.
int system_dpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : BASE_DPI;
}

// The DPI of the monitor the window is on (Windows 10 1607 and later); the system DPI before.
int dpi_of(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto get_dpi = user32_function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (get_dpi) {
        const UINT dpi = get_dpi(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return system_dpi();
}

// Lets Windows 10 1607 scale the title bar and the menu bar of a per-monitor aware window (the
// first version of that awareness does not by itself).
void scale_non_client_area(HWND window) {
    using EnableFunction = BOOL(WINAPI*)(HWND);
    static const auto enable = user32_function<EnableFunction>("EnableNonClientDpiScaling");
    if (enable) enable(window);
}

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
    Font(Font&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
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

    // The shell's folder picker (SHBrowseForFolderW), which needs COM on this thread.
    std::optional<std::u16string> choose_folder() override {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const std::u16string title = u"Папка, в которой искать битые имена";
        BROWSEINFOW request{};
        request.hwndOwner = main;
        request.lpszTitle = wide(title);
        request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&request);
        std::optional<std::u16string> folder;
        if (chosen != nullptr) {
            std::u16string path(platform::MAX_PATH_UNITS + 1, u'\0');
            if (SHGetPathFromIDListEx(chosen, platform::win32::wide_buffer(path),
                                      static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
                path.resize(path.find(u'\0'));
                if (!path.empty()) folder = std::move(path);
            }
            CoTaskMemFree(chosen);
        }
        if (SUCCEEDED(com)) CoUninitialize();
        return folder;
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
        auto* target = static_cast<char16_t*>(GlobalLock(memory));
        if (!target) {
            GlobalFree(memory);
            return false;
        }
        if (!text.empty()) std::memcpy(target, text.data(), text.size() * sizeof(char16_t));
        target[text.size()] = u'\0';
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

    ControlId focused_control() override {
        const HWND focus = GetFocus();
        return focus && IsChild(main, focus) ? GetDlgCtrlID(focus) : 0;
    }

    void select_all_text(ControlId id) override { SendMessageW(control(id), EM_SETSEL, 0, -1); }

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

struct Fonts {
    Font ui;
    Font bold;
    Font mono;
};

class AcceleratorTable {
  public:
    AcceleratorTable() = default;
    ~AcceleratorTable() { reset(); }
    AcceleratorTable(const AcceleratorTable&) = delete;
    AcceleratorTable& operator=(const AcceleratorTable&) = delete;
    HACCEL get() const { return handle_; }
    void reset(HACCEL handle = nullptr) {
        if (handle_) DestroyAcceleratorTable(handle_);
        handle_ = handle;
    }

  private:
    HACCEL handle_ = nullptr;
};

// Everything the one main window holds.
struct MainWindow {
    Win32WindowSystem system;
    MainWindowState state;
    Fonts fonts;
    AcceleratorTable accelerators;
    int dpi = BASE_DPI;  // the window's, by which its sizes and fonts are scaled
};

MainWindow& the_main_window() {
    static MainWindow window;
    return window;
}

// The system's message font, at the window's DPI (the system gives it at the system DPI).
Fonts create_fonts(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return {};
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = static_cast<LONG>(scale_to_dpi(font.lfHeight, dpi, system_dpi()));
    Fonts fonts;
    fonts.ui = Font(font);
    font.lfWeight = FW_BOLD;
    fonts.bold = Font(font);
    constexpr wchar_t MONO_FACE[] = L"Consolas";
    std::copy(std::begin(MONO_FACE), std::end(MONO_FACE), font.lfFaceName);
    font.lfWeight = FW_NORMAL;
    fonts.mono = Font(font);
    return fonts;
}

void set_font(HWND control, const Font& font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
}

void apply_fonts(const Win32WindowSystem& system, const Fonts& fonts) {
    // Without the ui font no control gets any font, so that they all stay alike.
    if (!fonts.ui.get()) return;
    for (const ControlId id : {IDC_INPUT, IDC_OUTPUT, IDC_VARIANTS, IDC_SCORE, IDC_FIX, IDC_OPEN,
                               IDC_COPY, IDC_SAVE, IDC_CHECK_SYSTEM}) {
        set_font(system.control(id), fonts.ui);
    }
    if (fonts.bold.get()) {
        for (const ControlId id : {IDC_LABEL_INPUT, IDC_LABEL_VARIANTS, IDC_LABEL_OUTPUT}) {
            set_font(system.control(id), fonts.bold);
        }
    }
    if (fonts.mono.get()) {
        set_font(system.control(IDC_INPUT), fonts.mono);
        set_font(system.control(IDC_OUTPUT), fonts.mono);
    }
}

// The list turns its tab stops into pixels by the average character width of its font when it
// gets them: set again after every new font, they grow with it.
void set_tab_stops(const Win32WindowSystem& system) {
    INT stops[] = {LIST_TAB_STOPS[0], LIST_TAB_STOPS[1]};
    SendMessageW(system.control(IDC_VARIANTS), LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
}

// Fonts for the window's DPI: the controls get the new ones before the old ones are deleted.
void use_fonts_for_dpi(MainWindow& window) {
    Fonts fonts = create_fonts(window.dpi);
    apply_fonts(window.system, fonts);
    set_tab_stops(window.system);
    window.fonts = std::move(fonts);
}

HACCEL create_accelerators() {
    std::array<ACCEL, SHORTCUTS.size()> table{};
    for (std::size_t i = 0; i < SHORTCUTS.size(); ++i) {
        const Shortcut& shortcut = SHORTCUTS[i];
        table[i].fVirt = static_cast<BYTE>(FVIRTKEY | (shortcut.control ? FCONTROL : 0));
        table[i].key = static_cast<WORD>(shortcut.key);
        table[i].cmd = static_cast<WORD>(shortcut.command);
    }
    return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

// A multi-line box that gets the dialog keys takes Escape as "cancel the dialog" and closes its
// parent, which here is the main window: the program would end. The two text boxes keep Escape
// to themselves, and it does nothing.
WNDPROC& edit_procedure() {
    static WNDPROC original = nullptr;
    return original;
}

LRESULT CALLBACK text_box_procedure(HWND box, UINT message, WPARAM w_param, LPARAM l_param) {
    const bool escape = (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) &&
                        w_param == VK_ESCAPE;
    if (escape) return 0;
    return CallWindowProcW(edit_procedure(), box, message, w_param, l_param);
}

void keep_escape_in(HWND box) {
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&text_box_procedure)));
    if (previous && previous != &text_box_procedure) edit_procedure() = previous;
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
    window.dpi = dpi_of(main);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main, GWLP_HINSTANCE));
    for (const ControlSpec& described : CONTROLS) {
        CreateWindowExW(extended_style_of(described.kind), wide(owned(described.class_name)),
                        wide(owned(described.text)), style_of(described.kind), 0, 0, 0, 0, main,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(described.id)), instance,
                        nullptr);
    }
    keep_escape_in(window.system.control(IDC_INPUT));
    keep_escape_in(window.system.control(IDC_OUTPUT));
    use_fonts_for_dpi(window);
    create_menus(main);
    window.accelerators.reset(create_accelerators());
    DragAcceptFiles(main, TRUE);
    // Again, now that the menu bar takes its share of the height, and at the window's DPI.
    const Size size = initial_window_size(window.dpi);
    SetWindowPos(main, nullptr, 0, 0, size.width, size.height, SWP_NOZORDER | SWP_NOMOVE);
}

// The window moved to a monitor of another DPI, or the user changed the scale: new fonts, new
// places, and the size and position Windows suggests.
void on_dpi_changed(HWND main, int dpi, const RECT& suggested) {
    MainWindow& window = the_main_window();
    window.system.main = main;
    window.dpi = dpi;
    use_fonts_for_dpi(window);
    SetWindowPos(main, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(main, &client);
    layout_controls(window.system, client.right - client.left, window.dpi);
}

struct DropRelease {
    HDROP drop;
    explicit DropRelease(HDROP dropped) : drop(dropped) {}
    DropRelease(const DropRelease&) = delete;
    DropRelease& operator=(const DropRelease&) = delete;
    ~DropRelease() { DragFinish(drop); }
};

// The paths of the files dropped on the window, in the order the drop lists them.
std::vector<std::u16string> dropped_paths(HDROP drop) {
    std::vector<std::u16string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) paths.emplace_back(path.begin(), path.end());
    }
    return paths;
}

void on_drop_files(MainWindow& window, HDROP drop) noexcept {
    try {
        std::vector<std::u16string> paths;
        {
            const DropRelease release{drop};
            paths = dropped_paths(drop);
        }
        open_first_file(window.state, paths, FilesGiven::Dropped);
    } catch (const std::bad_alloc&) {
        // Abandoned, as a command is when memory runs out.
    }
}

// Moves the focus as a dialog does: WM_NEXTDLGCTL comes from the dialog-key processing and
// from a multi-line box that hands Tab on.
void on_next_control(HWND main, WPARAM w_param, LPARAM l_param) {
    HWND target = nullptr;
    if (LOWORD(l_param)) {
        target = reinterpret_cast<HWND>(w_param);
    } else {
        const HWND focus = GetFocus();
        target = GetNextDlgTabItem(main, IsChild(main, focus) ? focus : nullptr, w_param != 0);
    }
    if (!target) return;
    SetFocus(target);
    // Into a text box by the keyboard: its whole text is selected, as in a dialog.
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessageW(target, EM_SETSEL, 0, -1);
    }
}

// Enter clicks the button that has the focus; elsewhere there is no default button.
LRESULT default_button(HWND main) {
    const HWND focus = GetFocus();
    if (!focus || !IsChild(main, focus)) return 0;
    wchar_t class_name[16] = {};
    GetClassNameW(focus, class_name, 16);
    if (_wcsicmp(class_name, L"BUTTON") != 0) return 0;
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}

void on_destroy(HWND) {
    MainWindow& window = the_main_window();
    tavrik::on_destroy(window.state);
    window.fonts = Fonts{};
    window.accelerators.reset();
    PostQuitMessage(0);
}

// Every WM_SIZE places the controls of the window that receives it, also while it is created.
void on_size(HWND main, int width) {
    MainWindow& window = the_main_window();
    window.system.main = main;
    layout_controls(window.system, width, window.dpi);
}

LRESULT handle_message(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
    MainWindow& main = the_main_window();
    switch (message) {
        case WM_NCCREATE:
            scale_non_client_area(window);
            main.dpi = dpi_of(window);  // for the sizes asked before WM_CREATE
            break;
        case WM_CREATE:
            on_create(window);
            return 0;
        case WM_SIZE:
            on_size(window, LOWORD(l_param));
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(l_param);
            const Size minimum = minimum_window_size(main.dpi);
            info->ptMinTrackSize = {minimum.width, minimum.height};
            return 0;
        }
        case DPI_CHANGED:
            on_dpi_changed(window, LOWORD(w_param), *reinterpret_cast<const RECT*>(l_param));
            return 0;
        case WM_DROPFILES:
            on_drop_files(main, reinterpret_cast<HDROP>(w_param));
            return 0;
        case WM_NEXTDLGCTL:
            on_next_control(window, w_param, l_param);
            return 0;
        case DM_GETDEFID:
            return default_button(window);
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

void open_files_on_start(HWND main, std::span<const std::u16string> paths) {
    MainWindow& window = the_main_window();
    if (window.system.main != main) return;
    try {
        open_first_file(window.state, paths, FilesGiven::OnCommandLine);
    } catch (const std::bad_alloc&) {
        // Abandoned: the window opens empty, as without the argument.
    }
}

HACCEL main_window_accelerators() {
    return the_main_window().accelerators.get();
}

bool translate_window_keys(MSG& message) {
    const HWND main = the_main_window().system.main;
    if (!main || !IsWindow(main)) return false;
    if (message.hwnd != main && !IsChild(main, message.hwnd)) return false;
    const HACCEL accelerators = main_window_accelerators();
    if (accelerators && TranslateAcceleratorW(main, accelerators, &message)) return true;
    return IsDialogMessageW(main, &message) != FALSE;
}

int run_message_loop() {
    MSG message{};
    // An error (-1) ends the loop as WM_QUIT does.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (translate_window_keys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace tavrik::win32
