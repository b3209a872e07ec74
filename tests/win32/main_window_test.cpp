// The real main window under Windows (or Wine), created hidden in this process and driven with
// messages, as the system and a user would.
#include <gtest/gtest.h>

#include <array>
#include <deque>
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
#include "ui/list_line.hpp"

namespace tavrik {
namespace {

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
// otherwise. A thread timer fires inside each box's own message loop.
class BoxAnswerer {
  public:
    BoxAnswerer() : timer_(SetTimer(nullptr, 0, 50, &BoxAnswerer::tick)) { captions().clear(); }
    ~BoxAnswerer() { KillTimer(nullptr, timer_); }
    static std::vector<std::u16string>& captions() {
        static std::vector<std::u16string> seen;
        return seen;
    }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), &BoxAnswerer::answer, 0);
    }
    static BOOL CALLBACK answer(HWND window, LPARAM) {
        wchar_t class_name[16] = {};
        GetClassNameW(window, class_name, 16);
        static HWND last = nullptr;
        if (wcscmp(class_name, L"#32770") != 0 || !IsWindowVisible(window) || window == last) {
            return TRUE;
        }
        last = window;
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
        EXPECT_EQ(list_lines(control(IDC_VARIANTS)), lines_for(narrow));
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

}  // namespace
}  // namespace tavrik
