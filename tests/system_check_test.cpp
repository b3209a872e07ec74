#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "names/tree_walk.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/temp_tree.hpp"
#include "tests/support/window_fixture.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/system_check.hpp"

namespace tavrik {
namespace {

using test::shown_in_ansi;
using ui::MessageBoxAnswer;
using ui::MessageBoxButtons;
using ui::MessageBoxIcon;

class SystemCheck : public test::WindowTest {
  protected:
    SystemCheck()
        : known_({tree_.path(u"Desktop"), tree_.path(u"Documents"), std::nullopt, std::nullopt,
                  std::nullopt}) {
        tree_.make_directory(u"Desktop");
        tree_.make_directory(u"Documents");
    }
    void add_broken(std::u16string_view real) {
        tree_.make_file(u"Desktop/" + shown_in_ansi(real));
    }
    // A check-system command, and what the window's thread does when the walk has ended.
    void check(int id = IDC_CHECK_SYSTEM) {
        on_command(state, id, 0);
        window.deliver_notices();
    }
    const test::RecordingWindowSystem::ShownMessageBox& last_box() const {
        return window.message_boxes.back();
    }

    test::TempTree tree_;
    platform::KnownFolderOverride known_;
};

TEST_F(SystemCheck, NothingFound) {
    tree_.make_file(u"Desktop/Отчёт.doc");
    check();
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(last_box().text, u"Битых имён не найдено.\nВсе файлы в порядке.");
    EXPECT_EQ(last_box().caption, u"Проверка системы");
    EXPECT_EQ(last_box().icon, MessageBoxIcon::Information);
    EXPECT_TRUE(state.broken_names.empty());
    // The walk runs away from the window, which keeps its own cursor.
    EXPECT_EQ(window.cursor_changes, 0);

    on_command(state, IDM_FIX_SYSTEM, 0);
    EXPECT_EQ(last_box().text, u"Сначала: Инструменты → Проверить систему.");
    EXPECT_EQ(last_box().caption, u"Исправление");
    EXPECT_EQ(last_box().icon, MessageBoxIcon::Information);
}

// A check never says all is well where it could not look: a folder it could not read is counted
// in the box, under the warning icon. The same check with nothing skipped keeps its text.
TEST_F(SystemCheck, WhatCouldNotBeCheckedIsSaid) {
    tree_.make_directory(u"Desktop/sub");
    WalkListingHook hook([this](std::u16string_view directory) {
        if (directory.ends_with(u"Desktop"))
            std::filesystem::remove_all(tree_.path(u"Desktop/sub"));
    });
    check();
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(last_box().text,
              u"Битых имён не найдено.\nВсе файлы в порядке.\n\n"
              u"Не удалось проверить (папка не читается или путь слишком длинный): 1.");
    EXPECT_EQ(last_box().icon, MessageBoxIcon::Warning);
}

TEST_F(SystemCheck, FoundAndFixedAtOnce) {
    for (const auto* name : {u"Фото.jpg", u"Море.jpg", u"Лес.jpg"})
        add_broken(name);
    window.answers = {MessageBoxAnswer::Yes};
    check(IDM_CHECK_SYSTEM);
    ASSERT_EQ(window.message_boxes.size(), 2u);
    const auto& found = window.message_boxes[0];
    EXPECT_EQ(found.text, u"Найдены файлы и папки с битыми именами.\n\nИсправить их сейчас?");
    EXPECT_EQ(found.caption, u"Найдено 3 проблем");
    EXPECT_EQ(found.icon, MessageBoxIcon::Warning);
    EXPECT_EQ(found.buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(last_box().text, u"Исправлено: 3\nОшибок: 0");
    EXPECT_EQ(last_box().caption, u"Результат");
    EXPECT_EQ(last_box().icon, MessageBoxIcon::Information);
    EXPECT_EQ(tree_.names_in(u"Desktop"),
              (std::vector<std::u16string>{u"Лес.jpg", u"Море.jpg", u"Фото.jpg"}));
    EXPECT_TRUE(state.broken_names.empty());
    EXPECT_EQ(window.wait_cursors, 0);
}

// Right names whose reading in the other code page gains a Cyrillic letter (a dash, a
// guillemet, «№» become one) are neither offered nor renamed beside a garbled one.
TEST_F(SystemCheck, RightNamesWithDashesGuillemetsAndNumberSignsStay) {
    const std::vector<std::u16string> right = {u"Јован — љубав.txt", u"план «на завтра».txt",
                                               u"список дел — март.txt", u"тест №1.txt"};
    for (const std::u16string& name : right)
        tree_.make_file(u"Desktop/" + name);
    add_broken(u"Фото.jpg");
    window.answers = {MessageBoxAnswer::Yes};
    check();
    ASSERT_EQ(window.message_boxes.size(), 2u);
    EXPECT_EQ(window.message_boxes[0].caption, u"Найдено 1 проблем");
    EXPECT_EQ(last_box().text, u"Исправлено: 1\nОшибок: 0");
    std::vector<std::u16string> expected = right;
    expected.push_back(u"Фото.jpg");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree_.names_in(u"Desktop"), expected);
}

TEST_F(SystemCheck, AnsweredNoTheListWaitsForFixSystem) {
    add_broken(u"Фото.jpg");
    window.answers = {MessageBoxAnswer::No};
    check();
    EXPECT_EQ(window.message_boxes.back().caption, u"Найдено 1 проблем");
    EXPECT_EQ(state.broken_names.count(), 1);
    // Fix-system renames what was found then, without walking again.
    add_broken(u"Новый.txt");
    on_command(state, IDM_FIX_SYSTEM, 0);
    EXPECT_EQ(last_box().text, u"Исправлено: 1\nОшибок: 0");
    EXPECT_TRUE(tree_.exists(u"Desktop/Фото.jpg"));
    EXPECT_TRUE(tree_.exists(u"Desktop/" + shown_in_ansi(u"Новый.txt")));
    EXPECT_TRUE(state.broken_names.empty());
}

TEST_F(SystemCheck, ErrorsGiveTheWarningIcon) {
    add_broken(u"Фото.jpg");
    add_broken(u"Лес.jpg");
    tree_.make_file(u"Desktop/Фото.jpg", "taken");
    window.answers = {MessageBoxAnswer::Yes};
    check();
    EXPECT_EQ(last_box().text, u"Исправлено: 1\nОшибок: 1");
    EXPECT_EQ(last_box().icon, MessageBoxIcon::Warning);
    EXPECT_EQ(tree_.read(u"Desktop/Фото.jpg"), "taken");
}

TEST_F(SystemCheck, ANewCheckReplacesTheOldList) {
    add_broken(u"Фото.jpg");
    add_broken(u"Лес.jpg");
    window.answers = {MessageBoxAnswer::No, MessageBoxAnswer::No};
    check();
    EXPECT_EQ(state.broken_names.count(), 2);
    std::filesystem::remove(
        std::filesystem::path(tree_.path(u"Desktop/" + shown_in_ansi(u"Лес.jpg"))));
    check();
    EXPECT_EQ(state.broken_names.count(), 1);
    EXPECT_EQ(window.message_boxes.back().caption, u"Найдено 1 проблем");
    on_destroy(state);
    EXPECT_TRUE(state.broken_names.empty());
}

TEST_F(SystemCheck, ApplyingAnEmptyListReportsZeros) {
    apply_renames(state);
    EXPECT_EQ(last_box().text, u"Исправлено: 0\nОшибок: 0");
    EXPECT_EQ(last_box().icon, MessageBoxIcon::Information);
    EXPECT_EQ(found_caption(12), u"Найдено 12 проблем");
}

}  // namespace
}  // namespace tavrik
