// "Проверить систему" in the real window over a tree of a hundred thousand entries: the walk
// runs away from the window's thread, the window answers and shows the progress meanwhile, and
// the check-system button cancels it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/main_window.hpp"
#include "names/tree_walk.hpp"
#include "platform/known_folders.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/temp_tree.hpp"
#include "tests/win32/message_pump.hpp"
#include "ui/controls.hpp"

namespace tavrik {
namespace {

using test::shown_in_ansi;

constexpr int FOLDERS = 100;
constexpr int FILES_PER_FOLDER = 999;  // with its folder, a thousand entries each
const char16_t* const BROKEN[] = {u"Фото.jpg", u"Море.jpg", u"Лес.jpg", u"Письмо.doc", u"Кот.png"};

std::u16string text_of(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

std::string utf8(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text)
        bytes += unit < 0x80 ? static_cast<char>(unit) : '?';
    return bytes;
}

void make_empty_file(const std::u16string& path) {
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE,
                                    0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

// Answers every message box as a user would (Yes where there is a Yes, OK otherwise), keeping
// its caption and text. A thread timer fires inside each box's own message loop.
class BoxAnswerer {
  public:
    struct Box {
        std::u16string caption;
        std::u16string text;
    };
    BoxAnswerer() : timer_(SetTimer(nullptr, 0, 50, &BoxAnswerer::tick)) {
        boxes().clear();
        answered().clear();
    }
    ~BoxAnswerer() { KillTimer(nullptr, timer_); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    static std::vector<Box>& boxes() {
        static std::vector<Box> seen;
        return seen;
    }

  private:
    static std::vector<HWND>& answered() {
        static std::vector<HWND> windows;
        return windows;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), &BoxAnswerer::answer, 0);
    }
    static BOOL CALLBACK answer(HWND window, LPARAM) {
        wchar_t class_name[16] = {};
        GetClassNameW(window, class_name, 16);
        if (wcscmp(class_name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        for (const HWND done : answered()) {
            if (done == window) return TRUE;
        }
        answered().push_back(window);
        boxes().push_back({text_of(window), text_of(GetDlgItem(window, 0xFFFF))});
        const int button = GetDlgItem(window, IDYES) ? IDYES : IDOK;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return TRUE;
    }
    UINT_PTR timer_;
};

// Holds the walk when it starts to list its `at`-th folder, until released (or a minute has
// passed), so that a test acts while the walk is surely in the middle.
class WalkHolder {
  public:
    explicit WalkHolder(int at)
        : hook_([this, at](std::u16string_view path) {
              if (++listings_ != at) return;
              held_path_ = std::u16string(path);
              held_ = true;
              for (int waited = 0; !released_ && waited < 60000; waited += 5)
                  Sleep(5);
          }) {}
    ~WalkHolder() { release(); }
    bool held() const { return held_; }
    std::u16string held_path() const { return held_ ? held_path_ : std::u16string(); }
    void release() { released_ = true; }

  private:
    std::atomic<int> listings_{0};
    std::atomic<bool> held_{false};
    std::atomic<bool> released_{false};
    std::u16string held_path_;  // written before held_
    WalkListingHook hook_;
};

class WalkInTheWindow : public testing::Test {
  protected:
    // Documents: the tree CTest made (TAVRIK_LARGE_TREE), else one made here, which is slow.
    static void SetUpTestSuite() {
        tree_ = std::make_unique<test::TempTree>().release();
        tree_->make_directory(u"Desktop");
        wchar_t made[1024] = {};
        if (GetEnvironmentVariableW(L"TAVRIK_LARGE_TREE", made, 1024) - 1u < 1023u) {
            const std::wstring path(made);
            documents_ = std::u16string(path.begin(), path.end());
            for (char16_t& unit : documents_)
                unit = unit == u'/' ? u'\\' : unit;
            return;
        }
        tree_->make_directory(u"Documents");
        documents_ = tree_->path(u"Documents");
        const auto started = std::chrono::steady_clock::now();
        for (int folder = 0; folder < FOLDERS; ++folder) {
            const std::u16string directory = documents_ + u"\\d" + number(folder);
            CreateDirectoryW(reinterpret_cast<const wchar_t*>(directory.c_str()), nullptr);
            for (int file = 0; file < FILES_PER_FOLDER; ++file)
                make_empty_file(directory + u"\\f" + number(file) + u".txt");
        }
        std::printf(
            "[ made %d entries in %.1f s ]\n", FOLDERS * (FILES_PER_FOLDER + 1),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }
    static std::u16string number(int value) {
        const std::string digits = std::to_string(value);
        return {digits.begin(), digits.end()};
    }

    void SetUp() override {
        for (const char16_t* name : BROKEN)
            tree_->make_file(u"Desktop/" + shown_in_ansi(name));
        window_ = win32::create_main_window(GetModuleHandleW(nullptr));
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        MSG rest;
        while (PeekMessageW(&rest, nullptr, 0, 0, PM_REMOVE)) {
        }
        for (const char16_t* name : BROKEN) {
            for (const std::u16string& file :
                 {u"Desktop/" + shown_in_ansi(name), u"Desktop/" + std::u16string(name)}) {
                DeleteFileW(reinterpret_cast<const wchar_t*>(tree_->path(file).c_str()));
            }
        }
    }
    HWND control(ControlId id) const { return GetDlgItem(window_, id); }
    bool all_broken_names_left() const {
        for (const char16_t* name : BROKEN) {
            if (!tree_->exists(u"Desktop/" + shown_in_ansi(name))) return false;
        }
        return true;
    }
    void click_check_system() const { SendMessageW(control(IDC_CHECK_SYSTEM), BM_CLICK, 0, 0); }

    static test::TempTree* tree_;
    static std::u16string documents_;
    platform::SystemCodePageOverride russian_{1251, 866};
    platform::KnownFolderOverride known_{
        {tree_->path(u"Desktop"), documents_, std::nullopt, std::nullopt, std::nullopt}};
    HWND window_ = nullptr;
};

test::TempTree* WalkInTheWindow::tree_ = nullptr;
std::u16string WalkInTheWindow::documents_;

TEST_F(WalkInTheWindow, TheWindowAnswersAndShowsProgressWhileAHundredThousandEntriesAreWalked) {
    // Another thread asks the window for its score line all along, as the system and other
    // programs do; every question must be answered.
    std::atomic<bool> stop{false}, stopped{false};
    std::vector<std::u16string> seen;
    int asked = 0, unanswered = 0;
    double longest_ms = 0;
    const HWND score = control(IDC_SCORE);
    std::thread asker([&] {
        while (!stop) {
            wchar_t text[256] = {};
            DWORD_PTR copied = 0;
            const auto sent = std::chrono::steady_clock::now();
            const LRESULT answered =
                SendMessageTimeoutW(score, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                                    SMTO_NORMAL, 10000, &copied);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent)
                    .count();
            ++asked;
            if (!answered) ++unanswered;
            if (ms > longest_ms) longest_ms = ms;
            const std::wstring got(text);
            if (seen.empty() || seen.back() != std::u16string(got.begin(), got.end()))
                seen.emplace_back(got.begin(), got.end());
            Sleep(20);
        }
        stopped = true;
    });

    BoxAnswerer answerer;
    const auto started = std::chrono::steady_clock::now();
    click_check_system();
    // The click has returned with the walk still running: the button now cancels it.
    EXPECT_EQ(text_of(control(IDC_CHECK_SYSTEM)), u"Отменить проверку");
    const bool ended = test::pump_messages_until([] { return BoxAnswerer::boxes().size() >= 2; });
    const double walk_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    stop = true;
    test::pump_messages_until([&] { return stopped.load(); });  // its last question answered
    asker.join();
    ASSERT_TRUE(ended);

    std::printf("[ walk and renames %.2f s; %d questions, longest wait %.0f ms ]\n", walk_s, asked,
                longest_ms);
    EXPECT_EQ(unanswered, 0);
    // Progress was shown while it ran: entries counted, and the folder being read.
    int progress_lines = 0;
    for (const std::u16string& line : seen) {
        if (line.rfind(u"Просмотрено: ", 0) == 0 && line.find(u"  |  ") != std::u16string::npos &&
            line.find(u"Просмотрено: 0  ") != 0) {
            ++progress_lines;
        }
    }
    EXPECT_GE(progress_lines, 1) << "lines seen: " << seen.size();
    // The result, the renames and the window as they always were.
    ASSERT_EQ(BoxAnswerer::boxes().size(), 2u);
    EXPECT_EQ(BoxAnswerer::boxes()[0].caption, u"Найдено 5 проблем");
    EXPECT_EQ(BoxAnswerer::boxes()[0].text,
              u"Найдены файлы и папки с битыми именами.\n\nИсправить их сейчас?");
    EXPECT_EQ(BoxAnswerer::boxes()[1].caption, u"Результат");
    EXPECT_EQ(BoxAnswerer::boxes()[1].text, u"Исправлено: 5\nОшибок: 0");
    for (const char16_t* name : BROKEN)
        EXPECT_TRUE(tree_->exists(u"Desktop/" + std::u16string(name)));
    EXPECT_EQ(text_of(control(IDC_SCORE)), u"Оценка: —");
    EXPECT_EQ(text_of(control(IDC_CHECK_SYSTEM)), u"🔍 Проверить систему");
}

TEST_F(WalkInTheWindow, CancelInTheMiddleRenamesNothingAndSaysSo) {
    WalkHolder holder(30);  // the walk waits in its 30th folder, in Documents
    BoxAnswerer answerer;
    click_check_system();
    ASSERT_TRUE(test::pump_messages_until([&] { return holder.held(); }, 60000));
    // The window looks at the held walk by itself: the folder it is reading.
    const std::u16string held = holder.held_path();
    ASSERT_TRUE(test::pump_messages_until(
        [&] {
            const std::u16string line = text_of(control(IDC_SCORE));
            return line.size() > held.size() && line.substr(line.size() - held.size()) == held;
        },
        10000))
        << utf8(text_of(control(IDC_SCORE)));
    EXPECT_EQ(text_of(control(IDC_SCORE)).rfind(u"Просмотрено: ", 0), 0u);
    EXPECT_TRUE(BoxAnswerer::boxes().empty());

    click_check_system();  // "Отменить проверку"
    EXPECT_EQ(text_of(control(IDC_CHECK_SYSTEM)), u"Отмена...");
    holder.release();
    ASSERT_TRUE(test::pump_messages_until([] { return !BoxAnswerer::boxes().empty(); }));
    ASSERT_EQ(BoxAnswerer::boxes().size(), 1u);
    EXPECT_EQ(BoxAnswerer::boxes()[0].caption, u"Проверка системы");
    EXPECT_EQ(BoxAnswerer::boxes()[0].text,
              u"Проверка системы отменена.\nНичего не переименовано.");
    EXPECT_TRUE(all_broken_names_left());
    EXPECT_EQ(text_of(control(IDC_SCORE)), u"Оценка: —");
    EXPECT_EQ(text_of(control(IDC_CHECK_SYSTEM)), u"🔍 Проверить систему");
    // Nothing was kept for "Исправить систему".
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_FIX_SYSTEM, 0), 0);
    ASSERT_TRUE(test::pump_messages_until([] { return BoxAnswerer::boxes().size() >= 2; }));
    EXPECT_EQ(BoxAnswerer::boxes()[1].text, u"Сначала: Инструменты → Проверить систему.");
    EXPECT_TRUE(all_broken_names_left());
}

TEST_F(WalkInTheWindow, ClosingTheWindowDuringTheWalkStopsItAndWaitsForIt) {
    WalkHolder holder(30);
    BoxAnswerer answerer;
    click_check_system();
    ASSERT_TRUE(test::pump_messages_until([&] { return holder.held(); }, 60000));
    // The walk is let go a moment after the window has started to close.
    std::thread releaser([&] {
        Sleep(200);
        holder.release();
    });
    const auto closing = std::chrono::steady_clock::now();
    SendMessageW(window_, WM_CLOSE, 0, 0);
    const double close_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - closing)
            .count();
    releaser.join();
    std::printf("[ closed in %.0f ms, the walk held for 200 ms of it ]\n", close_ms);
    EXPECT_FALSE(IsWindow(window_));
    MSG rest;
    while (PeekMessageW(&rest, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&rest);
    EXPECT_TRUE(BoxAnswerer::boxes().empty());
    EXPECT_TRUE(all_broken_names_left());
}

}  // namespace
}  // namespace tavrik
