#include <gtest/gtest.h>

#include "tests/support/window_fixture.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/layout.hpp"

namespace tavrik {
namespace {

class WindowCommands : public test::WindowTest {};

TEST_F(WindowCommands, LayoutFollowsTheWidthOnly) {
    for (const int width : {564, 714, 1200}) {
        window.places.clear();
        layout_controls(window, width);
        ASSERT_EQ(window.places.size(), 12u);
        EXPECT_EQ(window.places[IDC_LABEL_INPUT], (ui::Rect{10, 10, width - 20, 20}));
        EXPECT_EQ(window.places[IDC_INPUT], (ui::Rect{10, 36, width - 131, 110}));
        EXPECT_EQ(window.places[IDC_FIX], (ui::Rect{width - 115, 36, 105, 110}));
        EXPECT_EQ(window.places[IDC_OPEN], (ui::Rect{10, 152, 125, 28}));
        EXPECT_EQ(window.places[IDC_CHECK_SYSTEM], (ui::Rect{141, 152, 170, 28}));
        EXPECT_EQ(window.places[IDC_LABEL_VARIANTS], (ui::Rect{10, 190, width - 20, 20}));
        EXPECT_EQ(window.places[IDC_VARIANTS], (ui::Rect{10, 216, width - 20, 160}));
        EXPECT_EQ(window.places[IDC_SCORE], (ui::Rect{10, 382, width - 20, 22}));
        EXPECT_EQ(window.places[IDC_LABEL_OUTPUT], (ui::Rect{10, 410, width - 20, 20}));
        EXPECT_EQ(window.places[IDC_OUTPUT], (ui::Rect{10, 436, width - 131, 100}));
        EXPECT_EQ(window.places[IDC_COPY], (ui::Rect{width - 115, 436, 105, 28}));
        EXPECT_EQ(window.places[IDC_SAVE], (ui::Rect{width - 115, 468, 105, 28}));
        // The right column ends 10 pixels before the edge, 6 pixels after the boxes.
        const auto& fix = window.places[IDC_FIX];
        EXPECT_EQ(fix.x + fix.width, width - 10);
        EXPECT_EQ(window.places[IDC_INPUT].x + window.places[IDC_INPUT].width + 6, fix.x);
    }
    EXPECT_EQ(window.repaints, 3);
}

TEST_F(WindowCommands, ControlsAndMenusAsDesigned) {
    EXPECT_EQ(CONTROLS.size(), 12u);
    EXPECT_EQ(CONTROLS[0].id, IDC_LABEL_INPUT);
    EXPECT_EQ(CONTROLS[3].text, u"\U0001F4C2 Открыть файл...");
    EXPECT_EQ(CONTROLS[7].text, u"Оценка: \u2014");
    EXPECT_EQ(MENUS[1].items[1].second, u"\U0001F4C1 Проверить папку...");
    EXPECT_EQ(MENUS[1].items[2].second, u"\U0001F6E0 Исправить систему");
    EXPECT_EQ(MENUS[0].items[1].first, 0);  // the separator
}

TEST_F(WindowCommands, NotificationsOfBoxesAndLabelsChangeNothing) {
    window.paste_ansi("Привет");
    on_command(state, IDC_FIX, 0);
    const auto texts = window.texts;
    const auto list = window.list;
    for (const int id : {IDC_INPUT, IDC_OUTPUT, IDC_LABEL_INPUT, IDC_LABEL_VARIANTS,
                         IDC_LABEL_OUTPUT, IDC_SCORE, 9999}) {
        on_command(state, id, 0);
        on_command(state, id, LIST_SELECTION_CHANGED);
    }
    EXPECT_EQ(window.texts, texts);
    EXPECT_EQ(window.list, list);
    EXPECT_TRUE(window.message_boxes.empty());
    EXPECT_FALSE(window.closed);
}

TEST_F(WindowCommands, ButtonsMenuItemsAndF5) {
    window.paste_ansi("Привет");
    on_key_down(state, 0x41);  // not F5
    EXPECT_TRUE(window.list.empty());
    on_key_down(state, KEY_F5);
    EXPECT_FALSE(window.list.empty());

    on_command(state, IDC_COPY, 0);
    EXPECT_EQ(window.clipboard, u"Привет");
    on_command(state, IDC_OPEN, 0);
    on_command(state, IDM_OPEN, 0);
    EXPECT_EQ(window.file_dialogs.size(), 2u);
    on_command(state, IDC_SAVE, 0);
    EXPECT_EQ(window.file_dialogs.size(), 3u);

    on_command(state, IDM_ABOUT, 0);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].caption, u"О программе");
    EXPECT_EQ(window.message_boxes[0].text.substr(0, 36), u"Tavrik — исправление битой кодировки");
    EXPECT_EQ(window.message_boxes[0].icon, ui::MessageBoxIcon::Information);

    on_command(state, IDM_EXIT, 0);
    EXPECT_TRUE(window.closed);
}

TEST_F(WindowCommands, DestructionReleasesTheCandidates) {
    window.paste_ansi("Привет");
    on_command(state, IDC_FIX, 0);
    ASSERT_FALSE(state.candidates.empty());
    on_destroy(state);
    EXPECT_TRUE(state.candidates.empty());
    EXPECT_EQ(state.selected, -1);
}

}  // namespace
}  // namespace tavrik
