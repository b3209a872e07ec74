// Memory running out in the middle of any command: the command is abandoned, nothing escapes to
// the window procedure, the wait cursor is restored, and nothing half-built is kept for later.
#include <gtest/gtest.h>

#include <new>

#include "platform/known_folders.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/recording_window_system.hpp"
#include "tests/support/temp_tree.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/system_check_progress.hpp"

namespace tavrik {
namespace {

// A window system whose calls that may allocate throw std::bad_alloc from the `fail_at`-th call
// on (counting from 0). Calls that only release (emptying the list, restoring the cursor) never
// throw, as on Windows.
class ExhaustedWindowSystem : public test::RecordingWindowSystem {
  public:
    int fail_at = -1;  // never
    int calls = 0;

    std::u16string input_text() override { return tick(), RecordingWindowSystem::input_text(); }
    void set_input_text(std::u16string_view text) override {
        tick();
        RecordingWindowSystem::set_input_text(text);
    }
    void set_text(ui::ControlId control, std::u16string_view text) override {
        tick();
        RecordingWindowSystem::set_text(control, text);
    }
    void fill_list(std::span<const std::u16string> lines, int selected) override {
        if (!lines.empty()) tick();  // emptying the list takes nothing
        RecordingWindowSystem::fill_list(lines, selected);
    }
    ui::MessageBoxAnswer message_box(std::u16string_view text, std::u16string_view caption,
                                     ui::MessageBoxIcon icon,
                                     ui::MessageBoxButtons buttons) override {
        tick();
        return RecordingWindowSystem::message_box(text, caption, icon, buttons);
    }
    std::optional<std::u16string> choose_file(const ui::FileDialog& dialog) override {
        tick();
        return RecordingWindowSystem::choose_file(dialog);
    }
    bool set_clipboard_text(std::u16string_view text) override {
        tick();
        return RecordingWindowSystem::set_clipboard_text(text);
    }
    std::u16string control_text(ui::ControlId control) override {
        tick();
        return RecordingWindowSystem::control_text(control);
    }

  private:
    void tick() {
        if (fail_at >= 0 && calls++ >= fail_at) throw std::bad_alloc();
    }
};

struct Command {
    const char* name;
    int id;
    int notification;
};

constexpr Command COMMANDS[] = {
    {"fix", IDC_FIX, 0},
    {"select a variant", IDC_VARIANTS, LIST_SELECTION_CHANGED},
    {"copy", IDC_COPY, 0},
    {"save", IDC_SAVE, 0},
    {"open", IDC_OPEN, 0},
    {"check the system", IDC_CHECK_SYSTEM, 0},
    {"fix the system", IDM_FIX_SYSTEM, 0},
    {"about", IDM_ABOUT, 0},
    {"select all", IDM_SELECT_ALL, 0},
};

TEST(WindowOutOfMemory, EveryCommandIsAbandonedCleanlyWhereverMemoryRunsOut) {
    const platform::SystemCodePageOverride russian{1251, 866};
    for (const Command& command : COMMANDS) {
        for (int fail_at = 0; fail_at < 40; ++fail_at) {
            SCOPED_TRACE(testing::Message() << command.name << ", failing at call " << fail_at);
            test::TempTree tree;
            tree.make_directory(u"Desktop");
            tree.make_file(u"Desktop/" + test::shown_in_ansi(u"Фото.jpg"));
            const platform::KnownFolderOverride known(
                {tree.path(u"Desktop"), std::nullopt, std::nullopt, std::nullopt, std::nullopt});
            ExhaustedWindowSystem window;
            MainWindowState state;
            state.window = &window;
            window.on_notice = [&state] { on_work_notice(state); };
            window.input = u"РџСЂРёРІРµС‚";  // «Привет» garbled
            window.chosen_files = {tree.path(u"Desktop/out.txt"), tree.path(u"Desktop/in.txt")};
            tree.make_file(u"Desktop/in.txt", "text");
            window.answers = {ui::MessageBoxAnswer::No};
            // A state the command starts from: variants shown, a check answered No.
            on_command(state, IDC_FIX, 0);
            on_command(state, IDC_CHECK_SYSTEM, 0);
            window.deliver_notices();  // the walk has ended
            ASSERT_FALSE(state.candidates.empty());
            ASSERT_FALSE(state.broken_names.empty());

            window.fail_at = fail_at;
            window.calls = 0;
            on_command(state, command.id, command.notification);  // noexcept: a throw ends the test
            window.deliver_notices();  // also noexcept: the end of a walk the command started

            EXPECT_EQ(window.wait_cursors, 0);
            EXPECT_EQ(window.list.size(), state.candidates.size());
            if (state.has_selection()) {
                EXPECT_EQ(window.list_selection, state.selected);
            }
            EXPECT_FALSE(system_walk_running(state));
            // A list that the walk could not finish is never renamed later.
            if (!state.broken_names.empty()) {
                EXPECT_EQ(state.broken_names.count(), 1);
            }
        }
    }
}

}  // namespace
}  // namespace tavrik
