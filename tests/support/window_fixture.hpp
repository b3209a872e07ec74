// The window's logic wired to the recording window system, for tests.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/recording_window_system.hpp"
#include "platform/system_code_pages.hpp"
#include "ui/main_window_state.hpp"

namespace tavrik::test {

class WindowTest : public testing::Test {
protected:
    WindowTest() { state.window = &window; }

    platform::SystemCodePageOverride russian{1251, 866};
    test::RecordingWindowSystem window;
    MainWindowState state;
};

}  // namespace tavrik::test
