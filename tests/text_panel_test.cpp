#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include "tests/support/posix_helpers.hpp"
#endif

#include "engine/code_pages.hpp"
#include "tests/support/temp_tree.hpp"
#include "tests/support/window_fixture.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/list_line.hpp"
#include "ui/text_panel.hpp"

namespace tavrik {
namespace {

using ui::MessageBoxIcon;

// «РџСЂРёРІРµС‚, РјРёСЂ!» pasted on a Russian system: the box hands over its Windows-1251 bytes,
// which are the UTF-8 bytes of «Привет, мир!».
const std::string PASTED_GARBLE = "Привет, мир!";

class TextPanel : public test::WindowTest {};

TEST_F(TextPanel, FixShowsTheBestVariantReadable) {
    window.input = PASTED_GARBLE;
    fix_input(state);
    ASSERT_FALSE(state.candidates.empty());
    EXPECT_EQ(window.list.size(), state.candidates.size());
    EXPECT_EQ(state.selected, 0);
    EXPECT_EQ(window.list_selection, 0);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"Привет, мир!");
    EXPECT_EQ(window.text(IDC_SCORE), u"Оценка: 150  |  utf8 → cp1251 → cp1251");
    EXPECT_EQ(window.list[0], u"utf8 → cp1251 → cp1251\t150\tПривет, мир!");
    for (std::size_t i = 0; i < window.list.size(); ++i) {
        EXPECT_EQ(window.list[i], list_line_for_display(state.candidates[i]));
        EXPECT_EQ(window.list[i].find_first_of(u"\r\n"), std::u16string::npos);
    }
}

TEST_F(TextPanel, EmptyInputClearsEverything) {
    window.input = PASTED_GARBLE;
    fix_input(state);
    window.input.clear();
    fix_input(state);
    EXPECT_TRUE(state.candidates.empty());
    EXPECT_EQ(state.selected, -1);
    EXPECT_TRUE(window.list.empty());
    EXPECT_EQ(window.text(IDC_OUTPUT), u"");
    EXPECT_EQ(window.text(IDC_SCORE), NO_SCORE);
}

TEST_F(TextPanel, NoCandidatesLeaveTheOutputAlone) {
    window.input = PASTED_GARBLE;
    fix_input(state);
    // Nothing survives a chain when every code page is one we cannot convert.
    platform::SystemCodePageOverride unknown(1, 1);
    window.input = std::string(WORK_BUFFER_SIZE + 1, '\xFF');
    fix_input(state);
    EXPECT_TRUE(state.candidates.empty());
    EXPECT_TRUE(window.list.empty());
    EXPECT_EQ(window.text(IDC_OUTPUT), u"Привет, мир!");
    copy_selected(state);
    EXPECT_FALSE(window.clipboard.has_value());
    save_selected(state);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].text, u"Выберите вариант из списка.");
    EXPECT_EQ(window.message_boxes[0].caption, u"Информация");
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Information);
}

TEST_F(TextPanel, EqualTopScoresSelectTheEarliest) {
    window.input = "Hello";  // every candidate the same text and score
    fix_input(state);
    EXPECT_EQ(state.selected, 0);
    EXPECT_EQ(window.text(IDC_SCORE), u"Оценка: 70  |  utf8 → cp1251 → cp1251");
}

TEST_F(TextPanel, SelectingAVariantShowsIt) {
    window.input = "\xF0\xD2\xC9\xD7\xC5\xD4\x2C\x20\xCD\xC9\xD2";  // KOI8-R shown as 1251
    fix_input(state);
    EXPECT_EQ(state.selected, 2);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"Привет, мир");
    window.list_selection = 0;
    on_command(state, IDC_VARIANTS, LIST_SELECTION_CHANGED);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"рТЙЧЕФ, НЙТ");
    EXPECT_EQ(window.text(IDC_SCORE), u"Оценка: 100  |  utf8 → utf8 → cp1251");
    window.list_selection = 1;
    on_command(state, IDC_VARIANTS, 2);  // another notification: ignored
    EXPECT_EQ(state.selected, 0);
    window.list_selection = -1;  // a click below the last line
    on_command(state, IDC_VARIANTS, LIST_SELECTION_CHANGED);
    EXPECT_EQ(state.selected, 0);
}

TEST_F(TextPanel, ShownTextKeepsItsLineBreaksTheListDoesNot) {
    window.input = "a\tb\nc";
    fix_input(state);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"a\tb\r\nc");
    EXPECT_EQ(window.list[0], u"utf8 → cp1251 → cp1251\t60\ta b c");
}

TEST_F(TextPanel, IllFormedTextShowsReplacementCharacters) {
    window.input = "\xEF\xF0\xE8";  // not UTF-8: the identity chain keeps it as it is
    fix_input(state);
    for (std::size_t i = 0; i < state.candidates.size(); ++i) {
        if (std::string(state.candidates[i].label_text()) != "utf8 → utf8 → utf8") continue;
        window.list_selection = static_cast<int>(i);
        select_variant(state);
        EXPECT_EQ(window.text(IDC_OUTPUT), u"\uFFFD\uFFFD\uFFFD");
        EXPECT_EQ(window.list[i], u"utf8 → utf8 → utf8\t1\t\uFFFD\uFFFD\uFFFD");
    }
}

TEST_F(TextPanel, CopyPutsTheShownTextOnTheClipboard) {
    copy_selected(state);
    EXPECT_FALSE(window.clipboard.has_value());
    window.input = PASTED_GARBLE;
    fix_input(state);
    copy_selected(state);
    EXPECT_EQ(window.clipboard, u"Привет, мир!");
    EXPECT_TRUE(window.message_boxes.empty());
}

TEST_F(TextPanel, SaveWritesExactlyTheCandidatesBytes) {
    test::TempTree tree;
    tree.make_file(u"исправлено.txt", "old content that is longer");
    window.input = PASTED_GARBLE;
    fix_input(state);
    window.chosen_files = {std::nullopt, tree.path(u"исправлено.txt")};
    save_selected(state);  // cancelled
    EXPECT_EQ(tree.read(u"исправлено.txt"), "old content that is longer");
    save_selected(state);
    EXPECT_EQ(tree.read(u"исправлено.txt"), "Привет, мир!");
    EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"исправлено.txt"});
    EXPECT_TRUE(window.message_boxes.empty());
    ASSERT_EQ(window.file_dialogs.size(), 2u);
    const ui::FileDialog& dialog = window.file_dialogs[0];
    EXPECT_EQ(dialog.purpose, ui::FileDialog::Purpose::Save);
    EXPECT_EQ(dialog.title, u"Сохранить");
    EXPECT_EQ(dialog.initial_name, u"исправлено.txt");
    EXPECT_EQ(dialog.default_extension, u"txt");
    ASSERT_EQ(dialog.filters.size(), 2u);
    EXPECT_EQ(dialog.filters[0].first, u"Текст");
    EXPECT_EQ(dialog.filters[1].second, u"*.*");
}

TEST_F(TextPanel, SaveThatFailsSaysSo) {
    test::TempTree tree;
    window.input = PASTED_GARBLE;
    fix_input(state);
    window.chosen_files = {tree.path(u"missing folder/file.txt")};
    save_selected(state);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].text, u"Не удалось записать.");
    EXPECT_EQ(window.message_boxes[0].caption, u"Ошибка");
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Error);
}

TEST_F(TextPanel, OpenLoadsTheFileAndFixesIt) {
    test::TempTree tree;
    tree.make_file(u"garbled.txt", std::string("\xD0\xD2\xC9\xD7\xC5\xD4") + '\0' + "after");
    window.chosen_files = {std::nullopt, tree.path(u"missing.txt"), tree.path(u"garbled.txt")};
    open_text_file(state);  // cancelled
    EXPECT_TRUE(window.message_boxes.empty());
    open_text_file(state);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].text, u"Не удалось открыть файл.");
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Error);
    EXPECT_TRUE(window.input.empty());
    open_text_file(state);
    EXPECT_EQ(window.input, "\xD0\xD2\xC9\xD7\xC5\xD4");  // up to the NUL
    EXPECT_EQ(window.text(IDC_OUTPUT), u"привет");        // KOI8-R, the common word decides
    EXPECT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.file_dialogs[0].title, u"Открыть файл");
    EXPECT_EQ(window.file_dialogs[0].filters[0].first, u"Все файлы");
}

// A device or a pipe is no file to open: refused at once rather than waited on.
TEST_F(TextPanel, OpeningSomethingThatIsNoFileSaysSo) {
    test::TempTree tree;
#ifdef _WIN32
    const std::u16string device = u"NUL";
#else
    const std::u16string device = tree.path(u"fifo");  // no writer: opening it would wait
    ASSERT_TRUE(test::make_fifo(device));
#endif
    window.chosen_files = {device, tree.path(u"folder")};
    tree.make_directory(u"folder");
    open_text_file(state);
    open_text_file(state);
    ASSERT_EQ(window.message_boxes.size(), 2u);
    for (const auto& box : window.message_boxes) {
        EXPECT_EQ(box.text, u"Не удалось открыть файл.");
        EXPECT_EQ(box.icon, MessageBoxIcon::Error);
    }
    EXPECT_TRUE(window.input.empty());
}

TEST_F(TextPanel, OpeningALargeFileWarnsThatOnlyItsStartIsLoaded) {
    test::TempTree tree;
    tree.make_file(u"big.txt", std::string(OPEN_READ_LIMIT + 10, 'a'));
    tree.make_file(u"exact.txt", std::string(OPEN_READ_LIMIT, 'a'));
    window.chosen_files = {tree.path(u"exact.txt"), tree.path(u"big.txt")};
    open_text_file(state);
    EXPECT_TRUE(window.message_boxes.empty());
    open_text_file(state);
    EXPECT_EQ(window.input.size(), OPEN_READ_LIMIT);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Warning);
    EXPECT_EQ(window.message_boxes[0].caption, u"Предупреждение");
    EXPECT_FALSE(state.candidates.empty());
}

}  // namespace
}  // namespace tavrik
