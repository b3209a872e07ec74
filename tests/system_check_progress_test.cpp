// "Проверить систему" with the walk away from the window's thread, through the recording window
// system: progress on the score line, the button that cancels, the window as it was afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "names/tree_walk.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/temp_tree.hpp"
#include "tests/support/window_fixture.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/system_check.hpp"
#include "ui/system_check_progress.hpp"

namespace tavrik {
namespace {

using test::RecordingWindowSystem;
using test::shown_in_ansi;
using ui::MessageBoxAnswer;
using ui::MessageBoxIcon;

constexpr std::u16string_view SCORE_SHOWN = u"Оценка: 150  |  utf8 → cp1251 → cp1251";
constexpr std::u16string_view BUTTON = u"🔍 Проверить систему";
constexpr std::u16string_view CANCELLED = u"Проверка системы отменена.\nНичего не переименовано.";

class SystemCheckProgress : public test::WindowTest {
  protected:
    SystemCheckProgress()
        : known_({tree_.path(u"Desktop"), tree_.path(u"Documents"), std::nullopt, std::nullopt,
                  std::nullopt}) {
        tree_.make_directory(u"Desktop");
        tree_.make_directory(u"Documents");
        tree_.make_directory(u"Documents/Папка");
        for (const auto* name : {u"Фото.jpg", u"Море.jpg", u"Лес.jpg"})
            tree_.make_file(u"Desktop/" + shown_in_ansi(name));
        for (int i = 0; i < 300; ++i)
            tree_.make_file(u"Documents/Папка/file" + number(i) + u".txt");
        // What the window shows before a check.
        window.texts[IDC_SCORE] = SCORE_SHOWN;
        window.texts[IDC_CHECK_SYSTEM] = BUTTON;
    }
    static std::u16string number(int value) {
        const std::string digits = std::to_string(value);
        return {digits.begin(), digits.end()};
    }
    bool desktop_renamed() const { return tree_.exists(u"Desktop/Фото.jpg"); }
    bool desktop_untouched() const {
        return tree_.exists(u"Desktop/" + shown_in_ansi(u"Фото.jpg")) &&
               tree_.exists(u"Desktop/" + shown_in_ansi(u"Море.jpg")) &&
               tree_.exists(u"Desktop/" + shown_in_ansi(u"Лес.jpg"));
    }

    test::TempTree tree_;
    platform::KnownFolderOverride known_;
};

TEST_F(SystemCheckProgress, TheWindowShowsProgressWhileTheWalkRunsAndItsStateAfter) {
    window.work_mode = RecordingWindowSystem::Work::held;
    on_command(state, IDC_CHECK_SYSTEM, 0);
    // Started, not yet walked: the window is free, the button cancels, the score line waits.
    EXPECT_EQ(window.works_started, 1);
    EXPECT_TRUE(system_walk_running(state));
    EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), u"Отменить проверку");
    EXPECT_EQ(window.text(IDC_SCORE), u"Просмотрено: 0");
    EXPECT_TRUE(window.message_boxes.empty());
    EXPECT_EQ(window.cursor_changes, 0);

    // The window's thread looks at the walk each time it lists a folder: the count and the
    // folder being read.
    std::vector<std::u16string> seen;
    {
        WalkListingHook hook([&](std::u16string_view) {
            EXPECT_EQ(window.deliver_notices(), 0);  // the walk only tells that it ended
            on_work_notice(state);                   // the window looks, as its timer has it
            seen.push_back(window.text(IDC_SCORE));
        });
        ASSERT_TRUE(window.run_held_work());
    }
    EXPECT_EQ(seen, (std::vector<std::u16string>{
                        walk_progress_line(0, tree_.path(u"Desktop")),
                        walk_progress_line(3, tree_.path(u"Documents")),
                        walk_progress_line(4, tree_.path(u"Documents/Папка")),
                    }));
    EXPECT_TRUE(window.message_boxes.empty());

    // The end: the score line and the button as they were, then the usual boxes.
    window.answers = {MessageBoxAnswer::Yes};
    EXPECT_GT(window.deliver_notices(), 0);
    EXPECT_FALSE(system_walk_running(state));
    EXPECT_EQ(window.text(IDC_SCORE), SCORE_SHOWN);
    EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), BUTTON);
    ASSERT_EQ(window.message_boxes.size(), 2u);
    EXPECT_EQ(window.message_boxes[0].caption, u"Найдено 3 проблем");
    EXPECT_EQ(window.message_boxes[1].text, u"Исправлено: 3\nОшибок: 0");
    EXPECT_TRUE(desktop_renamed());
    // A late notice changes nothing.
    window.notify_window();
    window.deliver_notices();
    EXPECT_EQ(window.message_boxes.size(), 2u);
}

TEST_F(SystemCheckProgress, ProgressCountsEveryStepInsideABigFolder) {
    window.work_mode = RecordingWindowSystem::Work::held;
    on_command(state, IDC_CHECK_SYSTEM, 0);
    ASSERT_TRUE(window.run_held_work());
    // 304 entries: the last word came at the 256th, in the big folder.
    const SystemWalk::Progress progress = state.walk->progress();
    EXPECT_EQ(progress.entries, 256u);
    EXPECT_EQ(progress.directory, tree_.path(u"Documents/Папка"));
    EXPECT_TRUE(progress.finished);
    on_work_notice(state);  // finished: the result, not the progress
    EXPECT_EQ(window.text(IDC_SCORE), SCORE_SHOWN);
    EXPECT_EQ(window.message_boxes.size(), 1u);
}

TEST_F(SystemCheckProgress, CancelledBeforeItWalksOrInTheMiddleRenamesNothing) {
    for (const bool in_the_middle : {false, true}) {
        window.message_boxes.clear();
        window.work_mode = RecordingWindowSystem::Work::held;
        window.answers = {MessageBoxAnswer::Yes};
        on_command(state, IDC_CHECK_SYSTEM, 0);
        if (!in_the_middle) {
            on_command(state, IDC_CHECK_SYSTEM, 0);  // the button, now "Отменить проверку"
            EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), u"Отмена...");
            on_command(state, IDC_CHECK_SYSTEM, 0);  // a second click changes nothing
            ASSERT_TRUE(window.run_held_work());
        } else {
            int listed = 0;
            WalkListingHook hook([&](std::u16string_view) {
                // Desktop has been listed; its broken names are found before Documents.
                if (++listed == 2) on_command(state, IDC_CHECK_SYSTEM, 0);
            });
            ASSERT_TRUE(window.run_held_work());
            EXPECT_EQ(listed, 2);  // Папка is never listed
        }
        window.deliver_notices();
        ASSERT_EQ(window.message_boxes.size(), 1u) << in_the_middle;
        EXPECT_EQ(window.message_boxes[0].text, CANCELLED);
        EXPECT_EQ(window.message_boxes[0].caption, u"Проверка системы");
        EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Information);
        EXPECT_TRUE(state.broken_names.empty());
        EXPECT_TRUE(desktop_untouched());
        EXPECT_EQ(window.text(IDC_SCORE), SCORE_SHOWN);
        EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), BUTTON);
        // Nothing is left for fix-system either.
        on_command(state, IDM_FIX_SYSTEM, 0);
        EXPECT_EQ(window.message_boxes.back().text, u"Сначала: Инструменты → Проверить систему.");
        EXPECT_TRUE(desktop_untouched());
    }
}

TEST_F(SystemCheckProgress, WhileItRunsTheMenuWaitsAndFixSystemSaysSo) {
    window.work_mode = RecordingWindowSystem::Work::held;
    on_command(state, IDC_CHECK_SYSTEM, 0);
    on_command(state, IDM_CHECK_SYSTEM, 0);  // already checking: no second walk
    EXPECT_EQ(window.works_started, 1);
    EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), u"Отменить проверку");
    on_command(state, IDM_FIX_SYSTEM, 0);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].text,
              u"Проверка системы ещё идёт.\nДождитесь её окончания или отмените её.");
    EXPECT_EQ(window.message_boxes[0].caption, u"Исправление");
    EXPECT_TRUE(desktop_untouched());
    // Other commands go on meanwhile; what they write on the score line stays after the walk.
    window.input = u"Hello";
    on_command(state, IDC_FIX, 0);
    const std::u16string fixed_score = window.text(IDC_SCORE);
    EXPECT_NE(fixed_score, SCORE_SHOWN);
    ASSERT_TRUE(window.run_held_work());
    window.answers = {MessageBoxAnswer::No};
    window.deliver_notices();
    EXPECT_EQ(window.text(IDC_SCORE), fixed_score);
    EXPECT_EQ(window.message_boxes.back().caption, u"Найдено 3 проблем");
    EXPECT_EQ(state.broken_names.count(), 3);
}

TEST_F(SystemCheckProgress, ClosingTheWindowStopsTheWalkAndReportsNothing) {
    window.work_mode = RecordingWindowSystem::Work::held;
    on_command(state, IDC_CHECK_SYSTEM, 0);
    int listed = 0;
    {
        WalkListingHook hook([&](std::u16string_view) { ++listed; });
        on_destroy(state);  // waits for the work, which stops at once
    }
    EXPECT_FALSE(system_walk_running(state));
    EXPECT_EQ(listed, 0);
    window.deliver_notices();
    EXPECT_TRUE(window.message_boxes.empty());
    EXPECT_TRUE(desktop_untouched());
}

TEST_F(SystemCheckProgress, WithoutAThreadTheWalkRunsAsBeforeWithTheWaitCursor) {
    window.work_mode = RecordingWindowSystem::Work::no_thread;
    window.answers = {MessageBoxAnswer::Yes};
    on_command(state, IDC_CHECK_SYSTEM, 0);
    EXPECT_FALSE(system_walk_running(state));
    EXPECT_EQ(window.cursor_changes, 4);  // the walk's, then the renames'
    EXPECT_EQ(window.wait_cursors, 0);
    ASSERT_EQ(window.message_boxes.size(), 2u);
    EXPECT_EQ(window.message_boxes[0].caption, u"Найдено 3 проблем");
    EXPECT_TRUE(desktop_renamed());
    EXPECT_EQ(window.text(IDC_SCORE), SCORE_SHOWN);
    EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), BUTTON);
}

TEST_F(SystemCheckProgress, OnARealThreadTheResultIsTheSame) {
    window.work_mode = RecordingWindowSystem::Work::on_a_thread;
    window.answers = {MessageBoxAnswer::Yes};
    on_command(state, IDC_CHECK_SYSTEM, 0);
    // The window's thread takes notices as they come, until the walk has been reported.
    for (int round = 0; round < 10000 && system_walk_running(state); ++round) {
        if (window.deliver_notices() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(system_walk_running(state));
    ASSERT_EQ(window.message_boxes.size(), 2u);
    EXPECT_EQ(window.message_boxes[1].text, u"Исправлено: 3\nОшибок: 0");
    EXPECT_TRUE(desktop_renamed());
    EXPECT_EQ(window.text(IDC_SCORE), SCORE_SHOWN);
}

TEST(WalkProgressLine, CountAndTheEndOfALongPath) {
    struct Case {
        std::uint64_t entries;
        std::u16string directory;
        std::u16string line;
    };
    const std::u16string long_path =
        u"C:\\Users\\Анна\\Documents\\Проекты\\2024\\Отчёты за первый квартал\\Черновики\\Старые";
    const Case cases[] = {
        {0, u"", u"Просмотрено: 0"},
        {12345, u"C:\\Users\\Анна\\Desktop", u"Просмотрено: 12345  |  C:\\Users\\Анна\\Desktop"},
        {100000, long_path,
         u"Просмотрено: 100000  |  …\\Проекты\\2024\\Отчёты за первый квартал\\Черновики\\Старые"},
        // No separator in the tail: cut where it starts.
        {1, u"/" + std::u16string(70, u'я'), u"Просмотрено: 1  |  …" + std::u16string(60, u'я')},
        // Not half a surrogate pair.
        {1, u"/\U0001F600" + std::u16string(59, u'x'),
         u"Просмотрено: 1  |  …" + std::u16string(59, u'x')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(walk_progress_line(c.entries, c.directory), c.line);
}

// «Проверить папку...»: the picker (cancelled: nothing happens), the same walk through the folder
// picked, its boxes with «папки», the renames, and a cancelled folder check; fix-system renames
// what the last check of either kind found.
TEST_F(SystemCheckProgress, CheckFolderWalksThePickedFolder) {
    tree_.make_directory(u"Загрузки");
    const std::u16string zip = u"╤Б╨░╨╜╤Г╨╖╨╡╨╗4_╤Б╨▓╨╡╤А╨┤╨╗╨╛╨▓╨░ 48_.zip";
    tree_.make_file(u"Загрузки/" + zip);
    tree_.make_file(u"Загрузки/Ïðèâåò.mp3");
    tree_.make_file(u"Загрузки/Café.txt");

    on_command(state, IDM_CHECK_FOLDER, 0);  // the picker cancelled
    EXPECT_EQ(window.folder_dialogs, 1);
    EXPECT_FALSE(system_walk_running(state));
    EXPECT_TRUE(window.message_boxes.empty());

    struct Round {
        bool cancel;
        MessageBoxAnswer answer;
    };
    for (const Round round :
         {Round{true, MessageBoxAnswer::Yes}, Round{false, MessageBoxAnswer::No}}) {
        window.message_boxes.clear();
        window.work_mode = RecordingWindowSystem::Work::held;
        window.chosen_folders = {tree_.path(u"Загрузки")};
        window.answers = {round.answer};
        on_command(state, IDM_CHECK_FOLDER, 0);
        ASSERT_TRUE(system_walk_running(state));
        EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), u"Отменить проверку");
        if (round.cancel) on_command(state, IDC_CHECK_SYSTEM, 0);
        ASSERT_TRUE(window.run_held_work());
        window.deliver_notices();
        EXPECT_FALSE(system_walk_running(state));
        EXPECT_EQ(window.text(IDC_CHECK_SYSTEM), BUTTON);
        ASSERT_EQ(window.message_boxes.size(), 1u);
        if (round.cancel) {
            EXPECT_EQ(window.message_boxes[0].text,
                      u"Проверка папки отменена.\nНичего не переименовано.");
            EXPECT_EQ(window.message_boxes[0].caption, u"Проверка папки");
            EXPECT_TRUE(state.broken_names.empty());
        } else {
            EXPECT_EQ(window.message_boxes[0].caption, u"Найдено 2 проблем");
            EXPECT_EQ(state.broken_names.count(), 2);
        }
    }
    // Kept after «Нет»: fix-system renames it; the Desktop, never walked, stays as it is.
    on_command(state, IDM_FIX_SYSTEM, 0);
    EXPECT_EQ(window.message_boxes.back().text, u"Исправлено: 2\nОшибок: 0");
    EXPECT_EQ(
        tree_.names_in(u"Загрузки"),
        (std::vector<std::u16string>{u"Café.txt", u"Привет.mp3", u"санузел4_свердлова 48_.zip"}));
    EXPECT_TRUE(desktop_untouched());
}

TEST(CheckFolderMenu, ComesAfterCheckSystem) {
    const MenuSpec& tools = MENUS[1];
    ASSERT_EQ(tools.item_count, 3);
    EXPECT_EQ(tools.items[0].first, IDM_CHECK_SYSTEM);
    EXPECT_EQ(tools.items[1], (std::pair<ui::ControlId, std::u16string_view>{
                                  IDM_CHECK_FOLDER, u"📁 Проверить папку..."}));
    EXPECT_EQ(tools.items[2].first, IDM_FIX_SYSTEM);
}

}  // namespace
}  // namespace tavrik
