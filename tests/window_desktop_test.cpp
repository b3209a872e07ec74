// What the window does beyond its first design, without a screen: the layout at other DPIs, the
// keyboard shortcuts, files dropped on it or named on the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/temp_tree.hpp"
#include "tests/support/window_fixture.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/layout.hpp"
#include "ui/text_panel.hpp"

namespace tavrik {
namespace {

// The recording window system as new: what it recorded forgotten (it holds a thread and cannot
// be assigned).
void forget(test::RecordingWindowSystem& window) {
    window.input.clear();
    window.texts.clear();
    window.list.clear();
    window.list_selection = -1;
    window.message_boxes.clear();
    window.file_dialogs.clear();
    window.chosen_files.clear();
    window.clipboard.reset();
}

using ui::MessageBoxIcon;

class WindowDesktop : public test::WindowTest {};

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

TEST(DpiScaling, LengthsRoundToTheNearestPixelAndStayAt96) {
    struct Case {
        int length, dpi, from_dpi, scaled;
    };
    const Case cases[] = {
        {10, 96, 96, 10},    {131, 96, 96, 131},  {10, 144, 96, 15},   {131, 144, 96, 197},
        {115, 144, 96, 173}, {105, 120, 96, 131}, {105, 192, 96, 210}, {-11, 144, 96, -17},
        {-16, 96, 144, -11}, {0, 144, 96, 0},     {580, 144, 96, 870}, {7, 0, 96, 7},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scale_to_dpi(c.length, c.dpi, c.from_dpi), c.scaled)
            << c.length << " at " << c.dpi << " from " << c.from_dpi;
    }
    EXPECT_EQ(minimum_window_size(96), (Size{MIN_WINDOW_WIDTH, MIN_WINDOW_HEIGHT}));
    EXPECT_EQ(minimum_window_size(144), (Size{870, 780}));
    EXPECT_EQ(initial_window_size(96), (Size{WINDOW_WIDTH, WINDOW_HEIGHT}));
    EXPECT_EQ(initial_window_size(192), (Size{1460, 1280}));
}

TEST(DpiScaling, ControlsGrowWithTheDpiAndNeverOverlap) {
    for (const int dpi : {96, 120, 144, 168, 192}) {
        for (const int base_width : {564, 714, 1200}) {
            const int width = scale_to_dpi(base_width, dpi);
            const auto base = control_rects(base_width);
            const auto scaled = control_rects(width, dpi);
            for (std::size_t i = 0; i < scaled.size(); ++i) {
                const auto& [id, rect] = scaled[i];
                const ui::Rect& designed = base[i].second;
                ASSERT_EQ(id, base[i].first);
                // Within a pixel of the designed place times the scale; two for the widths that
                // follow the window, which take the rounding of both margins (one at 144 DPI).
                const auto near = [dpi](int got, int designed_length) {
                    return std::abs(got * 96 - designed_length * dpi) <= (dpi == 144 ? 96 : 192);
                };
                EXPECT_TRUE(near(rect.x, designed.x)) << id << " at " << dpi;
                EXPECT_TRUE(near(rect.y, designed.y)) << id << " at " << dpi;
                EXPECT_TRUE(near(rect.width, designed.width)) << id << " at " << dpi;
                EXPECT_TRUE(near(rect.height, designed.height)) << id << " at " << dpi;
                // Both margins alike.
                EXPECT_EQ(
                    rect.x == scale_to_dpi(10, dpi) || rect.x > width / 2 || id == IDC_CHECK_SYSTEM,
                    true)
                    << id;
                EXPECT_LE(rect.x + rect.width, width - scale_to_dpi(10, dpi)) << id;
                for (std::size_t j = 0; j < i; ++j) {
                    EXPECT_FALSE(overlap(rect, scaled[j].second))
                        << id << " and " << scaled[j].first << " at " << dpi;
                }
            }
            if (dpi == 96) {
                EXPECT_EQ(scaled, base);
            }
        }
    }
}

TEST_F(WindowDesktop, LayoutAtADpiPlacesTheScaledRects) {
    layout_controls(window, 1071, 144);
    ASSERT_EQ(window.places.size(), 12u);
    EXPECT_EQ(window.places[IDC_FIX], (ui::Rect{1071 - 173, 54, 158, 165}));
    EXPECT_EQ(window.places[IDC_OUTPUT], (ui::Rect{15, 654, 1071 - 197, 150}));
    EXPECT_EQ(window.places[IDC_SAVE], (ui::Rect{1071 - 173, 702, 158, 42}));
    EXPECT_EQ(window.repaints, 1);
}

TEST(Shortcuts, OpenSaveFixSelectAllAndF5) {
    struct Expected {
        unsigned key;
        bool control;
        ControlId command;
    };
    const std::vector<Expected> expected = {{'O', true, IDM_OPEN},
                                            {'S', true, IDC_SAVE},
                                            {0x0D, true, IDC_FIX},
                                            {0x74, false, IDC_FIX},
                                            {'A', true, IDM_SELECT_ALL}};
    ASSERT_EQ(SHORTCUTS.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(SHORTCUTS[i].key, expected[i].key);
        EXPECT_EQ(SHORTCUTS[i].control, expected[i].control);
        EXPECT_EQ(SHORTCUTS[i].command, expected[i].command);
    }
    // The menus keep their texts: no shortcut is written into them.
    for (const MenuSpec& menu : MENUS) {
        for (int i = 0; i < menu.item_count; ++i) {
            EXPECT_EQ(menu.items[static_cast<std::size_t>(i)].second.find(u'\t'),
                      std::u16string_view::npos);
        }
    }
}

TEST_F(WindowDesktop, SelectAllSelectsTheFocusedTextBoxOnly) {
    for (const ControlId focus : {IDC_INPUT, IDC_OUTPUT, IDC_VARIANTS, IDC_FIX, 0}) {
        window.focus = focus;
        on_command(state, IDM_SELECT_ALL, 1);
    }
    EXPECT_EQ(window.selected_all, (std::vector<ControlId>{IDC_INPUT, IDC_OUTPUT}));
    EXPECT_TRUE(window.message_boxes.empty());
}

TEST_F(WindowDesktop, OpeningAPathDoesWhatTheOpenDialogDoes) {
    test::TempTree tree;
    tree.make_file(u"garbled.txt", std::string("\xD0\xD2\xC9\xD7\xC5\xD4") + '\0' + "after");
    tree.make_file(u"big.txt", std::string(OPEN_READ_LIMIT + 10, 'a'));
    tree.make_directory(u"folder");
    for (const char16_t* name : {u"garbled.txt", u"big.txt", u"missing.txt", u"folder"}) {
        test::RecordingWindowSystem by_dialog;
        MainWindowState dialog_state;
        dialog_state.window = &by_dialog;
        by_dialog.chosen_files = {tree.path(name)};
        open_text_file(dialog_state);

        forget(window);
        open_text_path(state, tree.path(name));
        EXPECT_EQ(window.input, by_dialog.input);
        EXPECT_EQ(window.texts, by_dialog.texts);
        EXPECT_EQ(window.list, by_dialog.list);
        ASSERT_EQ(window.message_boxes.size(), by_dialog.message_boxes.size())
            << static_cast<int>(name[0]);
        EXPECT_EQ(window.message_boxes.size(), 1u);  // a warning or the error
        for (std::size_t i = 0; i < window.message_boxes.size(); ++i) {
            EXPECT_EQ(window.message_boxes[i].text, by_dialog.message_boxes[i].text);
            EXPECT_EQ(window.message_boxes[i].caption, by_dialog.message_boxes[i].caption);
            EXPECT_EQ(window.message_boxes[i].icon, by_dialog.message_boxes[i].icon);
        }
        EXPECT_TRUE(window.file_dialogs.empty());
    }
}

TEST_F(WindowDesktop, OfSeveralFilesTheFirstIsOpenedAfterSayingSo) {
    test::TempTree tree;
    tree.make_file(u"first.txt", "\xD0\xD2\xC9\xD7\xC5\xD4");  // KOI8-R
    tree.make_file(u"second.txt", "\xEF\xF0\xE8");
    struct Case {
        std::vector<std::u16string> paths;
        FilesGiven given;
        std::vector<std::u16string> boxes;  // texts, in order
        std::u16string input;
    };
    const std::u16string first = tree.path(u"first.txt");
    const std::u16string missing = tree.path(u"missing.txt");
    const std::vector<Case> cases = {
        {{}, FilesGiven::Dropped, {}, u""},
        {{first}, FilesGiven::Dropped, {}, u"РТЙЧЕФ"},
        {{first}, FilesGiven::OnCommandLine, {}, u"РТЙЧЕФ"},
        {{first, tree.path(u"second.txt")},
         FilesGiven::Dropped,
         {u"Перетащено файлов: 2. Открывается только первый из них:\n" + first},
         u"РТЙЧЕФ"},
        {{first, missing, missing},
         FilesGiven::OnCommandLine,
         {u"Передано файлов: 3. Открывается только первый из них:\n" + first},
         u"РТЙЧЕФ"},
        {{missing}, FilesGiven::OnCommandLine, {u"Не удалось открыть файл."}, u""},
        // An empty argument names no file: the window starts empty, or with the file named.
        {{u""}, FilesGiven::OnCommandLine, {}, u""},
        {{u"", first, u""}, FilesGiven::OnCommandLine, {}, u"РТЙЧЕФ"},
        {{missing, first},
         FilesGiven::Dropped,
         {u"Перетащено файлов: 2. Открывается только первый из них:\n" + missing,
          u"Не удалось открыть файл."},
         u""},
    };
    for (const Case& c : cases) {
        forget(window);
        state.candidates.clear();
        open_first_file(state, c.paths, c.given);
        std::vector<std::u16string> boxes;
        for (const auto& box : window.message_boxes)
            boxes.push_back(box.text);
        EXPECT_EQ(boxes, c.boxes);
        if (!window.message_boxes.empty() && c.paths.size() > 1) {
            EXPECT_EQ(window.message_boxes[0].caption, u"Информация");
            EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Information);
        }
        EXPECT_EQ(window.input, c.input);
        if (!c.input.empty()) {
            EXPECT_EQ(window.text(IDC_OUTPUT), u"привет");
        }
        EXPECT_TRUE(window.file_dialogs.empty());
    }
}

}  // namespace
}  // namespace tavrik
