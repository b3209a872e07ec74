// The window's logic wired to the recording window system, for tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/system_code_pages.hpp"
#include "tests/support/recording_window_system.hpp"
#include "ui/main_window_state.hpp"
#include "ui/system_check_progress.hpp"

namespace tavrik::test {

class WindowTest : public testing::Test {
  protected:
    WindowTest() {
        state.window = &window;
        window.on_notice = [this] { on_work_notice(state); };
    }
    ~WindowTest() override { stop_system_walk(state); }

    platform::SystemCodePageOverride russian{1251, 866};
    test::RecordingWindowSystem window;
    MainWindowState state;
};

}  // namespace tavrik::test
