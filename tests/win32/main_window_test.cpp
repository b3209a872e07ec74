// The real main window under Windows (or Wine), created hidden in this process and driven with
// messages, as the system and a user would.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/main_window.hpp"
#include "engine/candidates.hpp"
#include "platform/known_folders.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/temp_tree.hpp"
#include "tests/win32/message_pump.hpp"
#include "ui/controls.hpp"
#include "ui/layout.hpp"
#include "ui/list_line.hpp"
#include "ui/variant_rows.hpp"

namespace tavrik {
namespace {

// As tavrik.exe, whose manifest declares it, the tests are aware of the monitor's DPI: without
// that, Windows would show every window at 96 DPI and stretch it as a picture.
const bool dpi_aware = [] {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto set_context = reinterpret_cast<SetContext>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    if (set_context && set_context(reinterpret_cast<HANDLE>(-4))) return true;  // v2
    return SetProcessDPIAware() != FALSE;
}();

// The screen's DPI, which under Wine is the LogPixels setting; the window is on that screen.
int screen_dpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::u16string text_of(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

std::u16string list_line(HWND list, int index) {
    std::wstring line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1,
                      L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()));
    line.resize(line.size() - 1);
    return {line.begin(), line.end()};
}

void set_text(HWND window, std::u16string_view text) {
    const std::u16string owned(text);
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(owned.c_str()));
}

class MainWindowOnWindows : public testing::Test {
  protected:
    void SetUp() override {
        window_ = win32::create_main_window(GetModuleHandleW(nullptr));
        ASSERT_NE(window_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        MSG quit;
        while (PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND control(ControlId id) const { return GetDlgItem(window_, id); }

    HWND window_ = nullptr;
};

TEST_F(MainWindowOnWindows, TwelveControlsWithTheirClassesStylesAndTexts) {
    EXPECT_EQ(text_of(window_), WINDOW_TITLE);
    for (const ControlSpec& described : CONTROLS) {
        const HWND child = control(described.id);
        ASSERT_NE(child, nullptr) << described.id;
        wchar_t class_name[32] = {};
        GetClassNameW(child, class_name, 32);
        EXPECT_EQ(_wcsicmp(class_name, reinterpret_cast<const wchar_t*>(
                                           std::u16string(described.class_name).c_str())),
                  0);
        EXPECT_EQ(text_of(child), described.text) << described.id;
        const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        EXPECT_TRUE(style & WS_CHILD);
        EXPECT_TRUE(style & WS_VISIBLE);
        const bool tab_stop =
            described.kind != ControlKind::Label && described.kind != ControlKind::ScoreLine;
        EXPECT_EQ((style & WS_TABSTOP) != 0, tab_stop) << described.id;
    }
    const auto list_style = static_cast<DWORD>(GetWindowLongW(control(IDC_VARIANTS), GWL_STYLE));
    EXPECT_EQ(list_style & (LBS_NOTIFY | LBS_HASSTRINGS | LBS_USETABSTOPS),
              static_cast<DWORD>(LBS_NOTIFY | LBS_HASSTRINGS | LBS_USETABSTOPS));
    const auto output_style = static_cast<DWORD>(GetWindowLongW(control(IDC_OUTPUT), GWL_STYLE));
    EXPECT_TRUE(output_style & ES_READONLY);
    EXPECT_TRUE(output_style & ES_MULTILINE);
    EXPECT_TRUE(GetWindowLongW(control(IDC_INPUT), GWL_STYLE) & ES_WANTRETURN);
    EXPECT_TRUE(GetWindowLongW(control(IDC_INPUT), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(MainWindowOnWindows, FontsBoldLabelsAndMonospacedBoxes) {
    const auto font = [&](ControlId id) { return SendMessageW(control(id), WM_GETFONT, 0, 0); };
    ASSERT_NE(font(IDC_FIX), 0);
    EXPECT_EQ(font(IDC_FIX), font(IDC_VARIANTS));
    EXPECT_EQ(font(IDC_FIX), font(IDC_SCORE));
    EXPECT_NE(font(IDC_LABEL_INPUT), font(IDC_FIX));
    EXPECT_EQ(font(IDC_LABEL_INPUT), font(IDC_LABEL_OUTPUT));
    EXPECT_NE(font(IDC_INPUT), font(IDC_FIX));
    EXPECT_EQ(font(IDC_INPUT), font(IDC_OUTPUT));
    LOGFONTW bold{};
    GetObjectW(reinterpret_cast<HFONT>(font(IDC_LABEL_VARIANTS)), sizeof bold, &bold);
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    LOGFONTW mono{};
    GetObjectW(reinterpret_cast<HFONT>(font(IDC_OUTPUT)), sizeof mono, &mono);
    EXPECT_STREQ(mono.lfFaceName, L"Consolas");
}

TEST_F(MainWindowOnWindows, MenusWithTheirItems) {
    const HMENU bar = GetMenu(window_);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    for (int m = 0; m < 3; ++m) {
        wchar_t title[64] = {};
        GetMenuStringW(bar, static_cast<UINT>(m), title, 64, MF_BYPOSITION);
        EXPECT_EQ(std::u16string(title, title + wcslen(title)),
                  MENUS[static_cast<std::size_t>(m)].title);
        const HMENU popup = GetSubMenu(bar, m);
        const MenuSpec& described = MENUS[static_cast<std::size_t>(m)];
        ASSERT_EQ(GetMenuItemCount(popup), described.item_count);
        for (int i = 0; i < described.item_count; ++i) {
            const auto& [id, text] = described.items[static_cast<std::size_t>(i)];
            if (id == 0) {
                EXPECT_TRUE(GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) &
                            MF_SEPARATOR);
                continue;
            }
            EXPECT_EQ(GetMenuItemID(popup, i), static_cast<UINT>(id));
            wchar_t item[64] = {};
            GetMenuStringW(popup, static_cast<UINT>(i), item, 64, MF_BYPOSITION);
            EXPECT_EQ(std::u16string(item, item + wcslen(item)), text);
        }
    }
}

TEST_F(MainWindowOnWindows, SizeLaysOutTheControlsAndTheMinimumHolds) {
    if (screen_dpi() != 96) GTEST_SKIP() << "the designed places are at 96 DPI";
    SendMessageW(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(900, 600));
    const auto place = [&](ControlId id) {
        RECT rect{};
        GetWindowRect(control(id), &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT fix = place(IDC_FIX);
    EXPECT_EQ(fix.left, 900 - 115);
    EXPECT_EQ(fix.top, 36);
    EXPECT_EQ(fix.right - fix.left, 105);
    EXPECT_EQ(fix.bottom - fix.top, 110);
    const RECT output = place(IDC_OUTPUT);
    EXPECT_EQ(output.left, 10);
    EXPECT_EQ(output.top, 436);
    EXPECT_EQ(output.right - output.left, 900 - 131);

    MINMAXINFO limits{};
    SendMessageW(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, MIN_WINDOW_WIDTH);
    EXPECT_EQ(limits.ptMinTrackSize.y, MIN_WINDOW_HEIGHT);
}

TEST_F(MainWindowOnWindows, PastedGarbleIsFixedAndShownReadable) {
    // What a user pastes differs by system: UTF-8 shown in the system's ANSI code page.
    const std::u16string garbled =
        GetACP() == 1251
            ? u"РџСЂРёРІРµС‚, РјРёСЂ!"
            : u"\u00D0\u0178\u00D1\u20AC\u00D0\u00B8\u00D0\u00B2\u00D0\u00B5\u00D1\u201A, "
              u"\u00D0\u00BC\u00D0\u00B8\u00D1\u20AC!";
    ASSERT_TRUE(GetACP() == 1251 || GetACP() == 1252) << "this test knows code pages 1251, 1252";
    set_text(control(IDC_INPUT), garbled);
    SendMessageW(control(IDC_FIX), BM_CLICK, 0, 0);
    EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"Привет, мир!");
    EXPECT_EQ(text_of(control(IDC_SCORE)), u"Оценка: 150  |  utf8 → cp1251 → cp1251");
    const HWND list = control(IDC_VARIANTS);
    EXPECT_GT(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(list_line(list, 0), u"utf8 → cp1251 → cp1251\t150\tПривет, мир!");

    // F5 with the main window focused does the same.
    set_text(control(IDC_INPUT), u"Hello");
    SendMessageW(window_, WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"Hello");
    // Notifications of the boxes and labels change nothing.
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_LABEL_INPUT, 0), 0);
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_OUTPUT, EN_CHANGE), 0);
    EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"Hello");
}

TEST_F(MainWindowOnWindows, ScoreLineIsDarkGreenOnTheWindowColour) {
    const HDC context = CreateCompatibleDC(nullptr);
    const LRESULT brush =
        SendMessageW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                     reinterpret_cast<LPARAM>(control(IDC_SCORE)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(context), RGB(0, 100, 0));
    EXPECT_EQ(GetBkColor(context), GetSysColor(COLOR_WINDOW));
    DeleteDC(context);
}

TEST_F(MainWindowOnWindows, ExitAndCloseEndWithCodeZero) {
    for (const UINT how : {0u, 1u}) {
        if (!IsWindow(window_)) window_ = win32::create_main_window(GetModuleHandleW(nullptr));
        if (how == 0)
            SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
        else
            SendMessageW(window_, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(window_));
        MSG quit{};
        ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, 0u);
    }
}

// Answers the message boxes a command opens, as a user would: Yes where there is a Yes, OK
// otherwise; and the shell's folder picker, by selecting the folder given and pressing OK, or
// pressing Cancel when none is given. A thread timer fires inside each dialog's own message loop.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(std::optional<std::u16string> folder = std::nullopt)
        : timer_(SetTimer(nullptr, 0, 50, &BoxAnswerer::tick)) {
        chosen() = std::move(folder);
        pickers() = 0;
        tries() = 0;
        captions().clear();
        last() = nullptr;  // a new dialog may get the handle of one closed before
    }
    ~BoxAnswerer() { KillTimer(nullptr, timer_); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    static int& pickers() {
        static int opened = 0;
        return opened;
    }
    static std::vector<std::u16string>& captions() {
        static std::vector<std::u16string> seen;
        return seen;
    }

  private:
    static std::optional<std::u16string>& chosen() {
        static std::optional<std::u16string> folder;
        return folder;
    }
    static HWND& last() {  // the dialog answered last
        static HWND answered = nullptr;
        return answered;
    }
    static int& tries() {
        static int made = 0;
        return made;
    }
    // Selects the folder and confirms that the tree shows it selected, under its parent's name:
    // OK on whatever else is selected would walk, and offer to rename, outside the test's tree.
    static bool picks(HWND picker, HWND tree, const std::u16string& folder) {
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        const auto text_of_item = [tree](HTREEITEM item) {
            wchar_t text[MAX_PATH] = {};
            TVITEMW request{};
            request.mask = TVIF_TEXT;
            request.hItem = item;
            request.pszText = text;
            request.cchTextMax = MAX_PATH;
            if (item == nullptr || !TreeView_GetItem(tree, &request)) return std::u16string();
            return std::u16string(text, text + wcslen(text));
        };
        const HTREEITEM selected = TreeView_GetSelection(tree);
        const std::filesystem::path path(folder);
        return text_of_item(selected) == path.filename().u16string() &&
               text_of_item(TreeView_GetParent(tree, selected)) ==
                   path.parent_path().filename().u16string();
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), &BoxAnswerer::answer, 0);
    }
    static BOOL CALLBACK answer(HWND window, LPARAM) {
        wchar_t class_name[16] = {};
        GetClassNameW(window, class_name, 16);
        if (wcscmp(class_name, L"#32770") != 0 || !IsWindowVisible(window) || window == last()) {
            return TRUE;
        }
        // The picker is the dialog that holds the tree of folders.
        if (const HWND tree = FindWindowExW(window, nullptr, L"SysTreeView32", nullptr)) {
            const bool picked = chosen() && picks(window, tree, *chosen());
            // The tree may still be filling: tried again at the next tick, for two seconds.
            if (chosen() && !picked && ++tries() < 40) return TRUE;
            last() = window;
            tries() = 0;
            ++pickers();
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(picked ? IDOK : IDCANCEL, BN_CLICKED), 0);
            return TRUE;
        }
        last() = window;
        captions().push_back(text_of(window));
        const int button = GetDlgItem(window, IDYES) ? IDYES : IDOK;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return TRUE;
    }
    UINT_PTR timer_;
};

TEST_F(MainWindowOnWindows, CheckSystemAnsweredYesRenamesOnDisk) {
    platform::SystemCodePageOverride russian(1251, 866);
    test::TempTree tree;
    tree.make_directory(u"Desktop");
    // Right names that read with one Cyrillic letter more in the other code page: not offered.
    tree.make_file(u"Desktop/список дел — март.txt");
    tree.make_file(u"Desktop/план «на завтра».txt");
    tree.make_directory(u"Documents/" + test::shown_in_ansi(u"Фото"));
    tree.make_file(u"Documents/" + test::shown_in_ansi(u"Фото") + u"/" +
                   test::shown_in_ansi(u"Море.jpg"));
    platform::KnownFolderOverride known(
        {tree.path(u"Desktop"), tree.path(u"Documents"), std::nullopt, std::nullopt, std::nullopt});
    BoxAnswerer answerer;
    SendMessageW(control(IDC_CHECK_SYSTEM), BM_CLICK, 0, 0);
    // The walk runs away from the window's thread; its result comes as a message.
    test::pump_messages_until([] { return BoxAnswerer::captions().size() >= 2; });
    EXPECT_EQ(BoxAnswerer::captions(),
              (std::vector<std::u16string>{u"Найдено 2 проблем", u"Результат"}));
    EXPECT_TRUE(tree.exists(u"Documents/Фото/Море.jpg"));
    EXPECT_EQ(tree.names_in(u"Desktop"),
              (std::vector<std::u16string>{u"план «на завтра».txt", u"список дел — март.txt"}));
}

TEST_F(MainWindowOnWindows, CheckFolderWalksTheFolderPickedInTheShellsPicker) {
    platform::SystemCodePageOverride russian(1251, 866);
    test::TempTree tree;
    tree.make_directory(u"Downloads");
    tree.make_file(u"Downloads/" + test::shown_in_ansi(u"Море.jpg"));
    tree.make_file(u"Downloads/список дел — март.txt");
    {
        BoxAnswerer cancelling(std::nullopt);
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_CHECK_FOLDER, 0), 0);
        EXPECT_EQ(BoxAnswerer::pickers(), 1);
        test::pump_messages_until([] { return false; }, 500);
        EXPECT_TRUE(BoxAnswerer::captions().empty());
        EXPECT_TRUE(tree.exists(u"Downloads/" + test::shown_in_ansi(u"Море.jpg")));
    }
    BoxAnswerer picking(tree.path(u"Downloads"));
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_CHECK_FOLDER, 0), 0);
    EXPECT_EQ(BoxAnswerer::pickers(), 1);
    test::pump_messages_until([] { return BoxAnswerer::captions().size() >= 2; });
    EXPECT_EQ(BoxAnswerer::captions(),
              (std::vector<std::u16string>{u"Найдено 1 проблем", u"Результат"}));
    EXPECT_EQ(tree.names_in(u"Downloads"),
              (std::vector<std::u16string>{u"Море.jpg", u"список дел — март.txt"}));
}

// The texts of the list, line by line.
std::vector<std::u16string> list_lines(HWND list) {
    std::vector<std::u16string> lines;
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        lines.push_back(list_line(list, i));
    return lines;
}

// The box's text as the narrow window interface hands it over, as the window read it before.
std::string narrow_text_of(HWND box) {
    std::string bytes(static_cast<std::size_t>(GetWindowTextLengthA(box)) + 1, '\0');
    bytes.resize(static_cast<std::size_t>(
        GetWindowTextA(box, bytes.data(), static_cast<int>(bytes.size()))));
    return bytes;
}

// The list lines the engine gives for `input`.
std::vector<std::u16string> lines_for(std::string_view input) {
    std::array<Candidate, MAX_CANDIDATES> found;
    int count = 0;
    enumerate_candidates(input, found, count);
    std::vector<std::u16string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(list_line_for_display(found[static_cast<std::size_t>(i)]));
    free_candidates(found);
    return lines;
}

TEST_F(MainWindowOnWindows, PasteTheAnsiCodePageHoldsReachesTheEngineAsBefore) {
    // Texts the system ANSI code page holds, 0x98 in 1251 and the C1 controls in 1252 among them.
    const std::vector<std::u16string> texts =
        GetACP() == 1251
            ? std::vector<std::u16string>{u"РџСЂРёРІРµС‚, РјРёСЂ!", u"Р\u0098РЅРѕРіРґР° РґРѕР¶РґСЊ",
                                          u"Hello", u"\u0098"}
            : std::vector<std::u16string>{u"Ã©tÃ© \u0081\u008D", u"Hello", u"\u0090"};
    for (const std::u16string& text : texts) {
        set_text(control(IDC_INPUT), text);
        const std::string narrow = narrow_text_of(control(IDC_INPUT));
        SendMessageW(control(IDC_FIX), BM_CLICK, 0, 0);
        // The catalogue's rows as the engine gives them for those bytes, then at most
        // MAX_OWN_ROWS of the repair's own.
        const std::vector<std::u16string> catalogue = lines_for(narrow);
        std::vector<std::u16string> shown = list_lines(control(IDC_VARIANTS));
        ASSERT_GE(shown.size(), catalogue.size());
        EXPECT_LE(shown.size() - catalogue.size(), static_cast<std::size_t>(MAX_OWN_ROWS));
        shown.resize(catalogue.size());
        EXPECT_EQ(shown, catalogue);
    }
    if (GetACP() == 1251) {
        set_text(control(IDC_INPUT), u"Р\u0098РЅРѕРіРґР° РґРѕР¶РґСЊ");  // «И» carried as 0x98
        SendMessageW(control(IDC_FIX), BM_CLICK, 0, 0);
        EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"Иногда дождь");
    }
}

TEST_F(MainWindowOnWindows, PasteTheAnsiCodePageCannotHoldIsFixedFromItsUtf8) {
    // «Привет, мир!» written in 1251 and shown as 866, as a console shows it: read narrow, the
    // box drawing character would come back as another byte and the capital would be lost.
    set_text(control(IDC_INPUT), u"╧ЁштхЄ, ьшЁ!");
    SendMessageW(control(IDC_FIX), BM_CLICK, 0, 0);
    EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"Привет, мир!");
    const std::u16string score = text_of(control(IDC_SCORE));
    EXPECT_EQ(score.substr(score.find(u'|')), u"|  utf8 → cp866 → cp1251");
    const HWND list = control(IDC_VARIANTS);
    const auto selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    const std::u16string label = u"utf8 → cp866 → cp1251\t";
    EXPECT_EQ(list_line(list, selected).substr(0, label.size()), label);
}

TEST_F(MainWindowOnWindows, TheWritersTextIsPreselectedAndTheListDrawnAgain) {
    struct Case {
        std::u16string pasted;
        std::u16string fixed;
    };
    // What a Russian system shows; a Western one shows UTF-8 in 1252.
    std::vector<Case> cases;
    if (GetACP() == 1251) {
        cases.push_back({u"лМАЮЙ ОБ УФПМЕ", u"Ключи на столе"});  // KOI8-R shown as 1251
        cases.push_back({u"рПЪЧПОЙ НБНЕ", u"Позвони маме"});
        cases.push_back({u"єЫозШ ЭР бвЮЫХ", u"Ключи на столе"});       // ISO-8859-5 shown as 1251
        cases.push_back({u"РџСЂРёРІРµС‚, РјРёСЂ!", u"Привет, мир!"});  // UTF-8 shown as 1251
    } else {
        cases.push_back({u"\u00D0\u0161\u00D0\u00BB\u00D1\u017D\u00D1\u2021\u00D0\u00B8",
                         u"Ключи"});  // UTF-8 shown as 1252
    }
    const HWND list = control(IDC_VARIANTS);
    for (const Case& c : cases) {
        set_text(control(IDC_INPUT), c.pasted);
        SendMessageW(control(IDC_FIX), BM_CLICK, 0, 0);
        EXPECT_EQ(text_of(control(IDC_OUTPUT)), c.fixed);
        const auto selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
        ASSERT_GE(selected, 0);
        const std::u16string line = list_line(list, selected);
        EXPECT_NE(line.find(c.fixed.substr(0, 5)), std::u16string::npos);
        EXPECT_EQ(text_of(control(IDC_SCORE)).substr(8, 3),
                  line.substr(line.find(u'\t') + 1, 3));  // the score line shows its score
    }
    // Redrawing is on again after the list was filled.
    EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE);
}

// Answers the dialogs a command opens: an open dialog with the next of `files`, a message box
// with OK, keeping its caption and text.
class DialogAnswerer {
  public:
    struct Box {
        std::u16string caption;
        std::u16string text;
    };
    explicit DialogAnswerer(std::deque<std::u16string> files)
        : timer_(SetTimer(nullptr, 0, 50, &DialogAnswerer::tick)) {
        this->files() = std::move(files);
        boxes().clear();
        answered().clear();
    }
    ~DialogAnswerer() { KillTimer(nullptr, timer_); }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    static std::deque<std::u16string>& files() {
        static std::deque<std::u16string> waiting;
        return waiting;
    }
    static std::vector<Box>& boxes() {
        static std::vector<Box> seen;
        return seen;
    }
    static std::vector<HWND>& answered() {
        static std::vector<HWND> windows;
        return windows;
    }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), &DialogAnswerer::answer, 0);
    }
    static BOOL CALLBACK answer(HWND window, LPARAM) {
        wchar_t class_name[16] = {};
        GetClassNameW(window, class_name, 16);
        if (wcscmp(class_name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        for (const HWND done : answered()) {
            if (done == window) return TRUE;
        }
        // The file name box of an open dialog: edt1, or the combo box cmb13.
        const HWND name =
            GetDlgItem(window, 1152) ? GetDlgItem(window, 1152) : GetDlgItem(window, 1148);
        if (name) {
            if (files().empty()) return TRUE;
            const std::u16string file = files().front();
            files().pop_front();
            SetWindowTextW(name, reinterpret_cast<const wchar_t*>(file.c_str()));
        } else {
            boxes().push_back({text_of(window), text_of(GetDlgItem(window, 0xFFFF))});
        }
        answered().push_back(window);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        return TRUE;
    }
    UINT_PTR timer_;
};

TEST_F(MainWindowOnWindows, OpenReadsUtf16AndWarnsWhereTheTextStopsAtANul) {
    test::TempTree tree;
    // «Привет, мир!» written in 1251, shown as 866 and saved as UTF-16: 1251 cannot hold it.
    tree.make_file(u"le.txt", std::string("\xFF\xFE\x67\x25\x01\x04\x48\x04\x42\x04\x45\x04"
                                          "\x04\x04,\0 \0\x4C\x04\x48\x04\x01\x04!\0",
                                          26));
    tree.make_file(u"be.txt", std::string("\xFE\xFF\x04\x1F\x04\x40\x04\x38", 8));
    tree.make_file(u"mark.txt", "\xEF\xBB\xBF\xCF\xF0\xE8");
    tree.make_file(u"stops.txt", std::string("\xCF\xF0\xE8\0rest", 8));
    const std::u16string nul_warning =
        u"В файле есть нулевой байт: загружен только текст до первого нулевого байта.\n"
        u"Исправленный текст будет неполным.";
    struct Case {
        const char16_t* file;
        std::u16string input;  // as the input box shows it
        std::u16string fixed;
        std::vector<std::u16string> warnings;
    };
    const bool russian = GetACP() == 1251;
    const Case cases[] = {
        {u"le.txt", u"╧ЁштхЄ, ьшЁ!", u"Привет, мир!", {}},
        {u"be.txt", u"При", u"При", {}},
        // 1251 bytes: on a Western system the box shows them in 1252.
        {u"mark.txt", russian ? u"При" : u"Ïðè", u"При", {}},
        {u"stops.txt", russian ? u"При" : u"Ïðè", u"При", {nul_warning}},
    };
    for (const Case& c : cases) {
        DialogAnswerer answerer({tree.path(c.file)});
        SendMessageW(control(IDC_OPEN), BM_CLICK, 0, 0);
        EXPECT_TRUE(DialogAnswerer::files().empty()) << "the open dialog was not answered";
        EXPECT_EQ(text_of(control(IDC_INPUT)), c.input);
        EXPECT_EQ(text_of(control(IDC_OUTPUT)), c.fixed);
        std::vector<std::u16string> warnings;
        for (const auto& box : DialogAnswerer::boxes()) {
            EXPECT_EQ(box.caption, u"Предупреждение");
            warnings.push_back(box.text);
        }
        const std::u16string name(c.file);
        EXPECT_EQ(warnings, c.warnings) << std::string(name.begin(), name.end());
    }
}

RECT place_in(HWND main, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int font_height(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return std::abs(static_cast<int>(font.lfHeight));
}

// Every control where control_rects puts it for the window's client width at `dpi`, and no two
// of them overlapping.
void expect_laid_out_at(HWND main, int dpi) {
    RECT client{};
    GetClientRect(main, &client);
    const auto rects = control_rects(client.right, dpi);
    std::vector<RECT> placed;
    for (const auto& [id, rect] : rects) {
        const RECT got = place_in(main, GetDlgItem(main, id));
        EXPECT_EQ(got.left, rect.x) << id << " at " << dpi;
        EXPECT_EQ(got.top, rect.y) << id << " at " << dpi;
        EXPECT_EQ(got.right - got.left, rect.width) << id << " at " << dpi;
        if (id == IDC_VARIANTS) {
            // A list box keeps to whole lines: never taller than its place, less than a line
            // shorter.
            EXPECT_LE(got.bottom - got.top, rect.height) << dpi;
            const auto line =
                static_cast<int>(SendMessageW(GetDlgItem(main, id), LB_GETITEMHEIGHT, 0, 0));
            EXPECT_GT(got.bottom - got.top, rect.height - line) << dpi;
        } else {
            EXPECT_EQ(got.bottom - got.top, rect.height) << id << " at " << dpi;
        }
        for (const RECT& other : placed) {
            RECT common{};
            EXPECT_FALSE(IntersectRect(&common, &got, &other)) << id << " overlaps at " << dpi;
        }
        placed.push_back(got);
    }
}

TEST_F(MainWindowOnWindows, LaidOutAtTheScreensDpi) {
    ASSERT_TRUE(dpi_aware);
    const int dpi = screen_dpi();
    expect_laid_out_at(window_, dpi);
    MINMAXINFO limits{};
    SendMessageW(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, scale_to_dpi(MIN_WINDOW_WIDTH, dpi));
    EXPECT_EQ(limits.ptMinTrackSize.y, scale_to_dpi(MIN_WINDOW_HEIGHT, dpi));
    RECT frame{};
    GetWindowRect(window_, &frame);
    // Never larger than the screen lets a window be.
    EXPECT_EQ(frame.right - frame.left,
              std::min(scale_to_dpi(WINDOW_WIDTH, dpi), GetSystemMetrics(SM_CXMAXTRACK)));
    EXPECT_EQ(frame.bottom - frame.top,
              std::min(scale_to_dpi(WINDOW_HEIGHT, dpi), GetSystemMetrics(SM_CYMAXTRACK)));
    if (dpi == 144) {
        // 150 %: the controls are one and a half times their designed places.
        SendMessageW(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1350, 900));
        const RECT fix = place_in(window_, control(IDC_FIX));
        EXPECT_EQ(fix.left, 1350 - 173);  // 1.5 × (900 - 115), rounded
        EXPECT_EQ(fix.top, 54);
        EXPECT_EQ(fix.right - fix.left, 158);
        EXPECT_EQ(fix.bottom - fix.top, 165);
        const RECT output = place_in(window_, control(IDC_OUTPUT));
        EXPECT_EQ(output.left, 15);
        EXPECT_EQ(output.top, 654);
        EXPECT_EQ(output.right - output.left, 1350 - 197);
        EXPECT_EQ(output.bottom - output.top, 150);
        EXPECT_EQ(limits.ptMinTrackSize.x, 870);
        EXPECT_EQ(limits.ptMinTrackSize.y, 780);
    }
    std::cout << "[          ] the screen's DPI: " << dpi << ", the ui font "
              << font_height(control(IDC_FIX)) << " pixels high\n";
}

TEST_F(MainWindowOnWindows, MovedToAScreenOfOneAndAHalfTheDpiEverythingGrows) {
    const int dpi = screen_dpi();
    const int larger = dpi * 3 / 2;
    RECT frame{};
    GetWindowRect(window_, &frame);
    const int ui_font = font_height(control(IDC_FIX));
    const int mono_font = font_height(control(IDC_INPUT));
    const int bold_font = font_height(control(IDC_LABEL_INPUT));
    ASSERT_GT(ui_font, 0);

    // What Windows sends when the window moves to that monitor, with the size it suggests.
    // (The window is made no larger than the screen allows.)
    RECT suggested = {0, 0, scale_to_dpi(MIN_WINDOW_WIDTH, larger),
                      scale_to_dpi(MIN_WINDOW_HEIGHT, larger)};
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(larger, larger),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(window_, &now);
    // The size Windows suggests, as far as the screen lets the window grow.
    EXPECT_LE(now.right - now.left, suggested.right - suggested.left);
    EXPECT_LE(now.bottom - now.top, suggested.bottom - suggested.top);
    EXPECT_GT(now.right - now.left, frame.right - frame.left);
    expect_laid_out_at(window_, larger);
    // The fonts too: the same faces, one and a half times as high.
    EXPECT_NEAR(font_height(control(IDC_FIX)), ui_font * 3 / 2, 1);
    EXPECT_NEAR(font_height(control(IDC_INPUT)), mono_font * 3 / 2, 1);
    EXPECT_NEAR(font_height(control(IDC_LABEL_INPUT)), bold_font * 3 / 2, 1);
    EXPECT_EQ(font_height(control(IDC_INPUT)), font_height(control(IDC_OUTPUT)));
    MINMAXINFO limits{};
    SendMessageW(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, scale_to_dpi(MIN_WINDOW_WIDTH, larger));
    // The list still shows its lines, with the new font.
    set_text(control(IDC_INPUT), u"Hello");
    SendMessageW(control(IDC_FIX), BM_CLICK, 0, 0);
    EXPECT_GE(SendMessageW(control(IDC_VARIANTS), LB_GETCOUNT, 0, 0), 1);

    // And back: exactly as before.
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
    expect_laid_out_at(window_, dpi);
    EXPECT_EQ(font_height(control(IDC_FIX)), ui_font);
    EXPECT_EQ(font_height(control(IDC_INPUT)), mono_font);
}

// The header of a drop (DROPFILES of shlobj.h): where the paths start, and that they are UTF-16.
struct DropFiles {
    DWORD files_offset;
    POINT point;
    BOOL non_client;
    BOOL wide;
};
static_assert(sizeof(DropFiles) == 20);

// A drop of `paths` as the shell hands it over: the header and the paths, each ended by a NUL,
// and one more NUL at the end. The window releases it.
HDROP drop_of(const std::vector<std::u16string>& paths) {
    std::u16string list;
    for (const std::u16string& path : paths) {
        list += path;
        list += u'\0';
    }
    list += u'\0';
    const std::size_t bytes = sizeof(DropFiles) + list.size() * sizeof(char16_t);
    const HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DropFiles*>(GlobalLock(memory));
    drop->files_offset = sizeof(DropFiles);
    drop->wide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DropFiles), list.data(),
                list.size() * sizeof(char16_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST_F(MainWindowOnWindows, DroppedFilesOpenAsTheOpenDialogOpensThem) {
    EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    test::TempTree tree;
    tree.make_file(u"first.txt", "\xD0\xD2\xC9\xD7\xC5\xD4");  // KOI8-R
    tree.make_file(u"second.txt", "\xEF\xF0\xE8");
    tree.make_file(u"stops.txt", std::string("\xCF\xF0\xE8\0rest", 8));
    tree.make_directory(u"папка");
    const std::u16string first = tree.path(u"first.txt");
    const std::u16string only_first =
        u"Перетащено файлов: 2. Открывается только первый из них:\n" + first;
    const std::u16string cannot_open = u"Не удалось открыть файл.";
    const std::u16string nul_warning =
        u"В файле есть нулевой байт: загружен только текст до первого нулевого байта.\n"
        u"Исправленный текст будет неполным.";
    struct Case {
        std::vector<std::u16string> paths;
        std::u16string fixed;  // empty: nothing opened
        std::vector<std::u16string> captions;
        std::vector<std::u16string> texts;
    };
    const std::vector<Case> cases = {
        {{first}, u"привет", {}, {}},
        {{first, tree.path(u"second.txt")}, u"привет", {u"Информация"}, {only_first}},
        {{tree.path(u"stops.txt")}, u"При", {u"Предупреждение"}, {nul_warning}},
        {{tree.path(u"missing.txt")}, u"", {u"Ошибка"}, {cannot_open}},
        {{tree.path(u"папка")}, u"", {u"Ошибка"}, {cannot_open}},
    };
    for (const Case& c : cases) {
        set_text(control(IDC_INPUT), u"");
        set_text(control(IDC_OUTPUT), u"");
        DialogAnswerer answerer({});
        SendMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop_of(c.paths)), 0);
        EXPECT_EQ(text_of(control(IDC_OUTPUT)), c.fixed);
        std::vector<std::u16string> captions, texts;
        for (const auto& box : DialogAnswerer::boxes()) {
            captions.push_back(box.caption);
            texts.push_back(box.text);
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(texts, c.texts);
    }
}

TEST_F(MainWindowOnWindows, AFileOnTheCommandLineOpensAndAMissingOneSaysSo) {
    test::TempTree tree;
    tree.make_file(u"письмо.txt", "\xD0\xD2\xC9\xD7\xC5\xD4");
    {
        DialogAnswerer answerer({});
        const std::vector<std::u16string> files = {tree.path(u"письмо.txt")};
        win32::open_files_on_start(window_, files);
        EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"привет");
        EXPECT_TRUE(DialogAnswerer::boxes().empty());
    }
    {
        DialogAnswerer answerer({});
        const std::vector<std::u16string> files = {tree.path(u"нет.txt")};
        win32::open_files_on_start(window_, files);
        ASSERT_EQ(DialogAnswerer::boxes().size(), 1u);
        EXPECT_EQ(DialogAnswerer::boxes()[0].caption, u"Ошибка");
        EXPECT_EQ(DialogAnswerer::boxes()[0].text, u"Не удалось открыть файл.");
        EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"привет");  // what was shown stays
    }
}

TEST_F(MainWindowOnWindows, TheAcceleratorTableHoldsTheShortcuts) {
    const HACCEL table = win32::main_window_accelerators();
    ASSERT_NE(table, nullptr);
    std::array<ACCEL, 16> entries{};
    const int count = CopyAcceleratorTableW(table, entries.data(), 16);
    ASSERT_EQ(count, static_cast<int>(SHORTCUTS.size()));
    for (std::size_t i = 0; i < SHORTCUTS.size(); ++i) {
        EXPECT_EQ(entries[i].key, SHORTCUTS[i].key);
        EXPECT_EQ(entries[i].cmd, SHORTCUTS[i].command);
        EXPECT_EQ((entries[i].fVirt & FCONTROL) != 0, SHORTCUTS[i].control);
        EXPECT_TRUE(entries[i].fVirt & FVIRTKEY);
    }
}

// Presses a key on `target` as the message loop would see it, with Ctrl and Shift held or not,
// and runs what the press posted.
void press(HWND target, UINT key, bool control, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{};
        msg.hwnd = target;
        msg.message = message;
        msg.wParam = key;
        msg.lParam = message == WM_KEYDOWN ? 1 : static_cast<LPARAM>(0xC0000001);
        msg.time = GetTickCount();
        if (!win32::translate_window_keys(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MSG posted{};
        while (PeekMessageW(&posted, nullptr, 0, 0, PM_REMOVE)) {
            if (posted.message == WM_QUIT) break;
            if (!win32::translate_window_keys(posted)) {
                TranslateMessage(&posted);
                DispatchMessageW(&posted);
            }
        }
    }
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
}

std::pair<DWORD, DWORD> selection_of(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

TEST_F(MainWindowOnWindows, ShortcutsWorkWhereverTheFocusIs) {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    const HWND input = control(IDC_INPUT);
    set_text(input, u"Hello");
    SetFocus(input);
    ASSERT_EQ(GetFocus(), input);
    // Ctrl+Enter in the input box fixes it (and adds no line break).
    press(input, VK_RETURN, true);
    EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"Hello");
    EXPECT_EQ(text_of(input), u"Hello");
    // F5 too, now that the input box has the focus.
    set_text(input, u"World");
    press(input, VK_F5, false);
    EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"World");
    // Ctrl+A selects all of the focused box, the input's and the output's.
    SendMessageW(input, EM_SETSEL, 1, 2);
    press(input, 'A', true);
    EXPECT_EQ(selection_of(input), (std::pair<DWORD, DWORD>{0, 5}));
    const HWND output = control(IDC_OUTPUT);
    SetFocus(output);
    SendMessageW(output, EM_SETSEL, 0, 0);
    press(output, 'A', true);
    EXPECT_EQ(selection_of(output), (std::pair<DWORD, DWORD>{0, 5}));
    EXPECT_EQ(text_of(input), u"World");  // no «a» typed

    // Ctrl+O opens, from the list.
    test::TempTree tree;
    tree.make_file(u"opened.txt", "\xD0\xD2\xC9\xD7\xC5\xD4");
    SetFocus(control(IDC_VARIANTS));
    {
        DialogAnswerer answerer({tree.path(u"opened.txt")});
        press(control(IDC_VARIANTS), 'O', true);
        EXPECT_TRUE(DialogAnswerer::files().empty()) << "no open dialog";
    }
    EXPECT_EQ(text_of(output), u"привет");
    // Ctrl+S saves the shown variant, from a button.
    SetFocus(control(IDC_COPY));
    {
        DialogAnswerer answerer({tree.path(u"saved.txt")});
        press(control(IDC_COPY), 'S', true);
        EXPECT_TRUE(DialogAnswerer::files().empty()) << "no save dialog";
    }
    EXPECT_TRUE(tree.exists(u"saved.txt"));
    // Keys without Ctrl still type.
    SetFocus(input);
    set_text(input, u"");
    press(input, 'B', false);
    EXPECT_EQ(text_of(input), u"b");
}

TEST_F(MainWindowOnWindows, TabFollowsTheLayout) {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    const std::vector<ControlId> order = {IDC_INPUT,        IDC_FIX,      IDC_OPEN,
                                          IDC_CHECK_SYSTEM, IDC_VARIANTS, IDC_OUTPUT,
                                          IDC_COPY,         IDC_SAVE,     IDC_INPUT};
    SetFocus(control(order[0]));
    for (std::size_t i = 1; i < order.size(); ++i) {
        press(GetFocus(), VK_TAB, false);
        EXPECT_EQ(GetFocus(), control(order[i])) << "after " << order[i - 1];
    }
    EXPECT_EQ(text_of(control(IDC_INPUT)), u"");  // Tab moved on rather than typed
    press(GetFocus(), VK_TAB, false, true);
    EXPECT_EQ(GetFocus(), control(IDC_SAVE));
    // Escape in a box closes nothing: this is no dialog to cancel.
    for (const ControlId id : {IDC_INPUT, IDC_OUTPUT, IDC_VARIANTS, IDC_FIX}) {
        SetFocus(control(id));
        press(control(id), VK_ESCAPE, false);
        ASSERT_TRUE(IsWindow(window_)) << id;
        EXPECT_EQ(GetFocus(), control(id));
    }
    // Enter on a focused button clicks it.
    set_text(control(IDC_INPUT), u"Hello");
    SetFocus(control(IDC_FIX));
    press(control(IDC_FIX), VK_RETURN, false);
    EXPECT_EQ(text_of(control(IDC_OUTPUT)), u"Hello");
}

}  // namespace
}  // namespace tavrik
