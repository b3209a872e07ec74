// Where the controls go: rows at fixed heights, widths from the client width alone.
#pragma once

#include <array>
#include <utility>

#include "ui/window_system.hpp"
#include "ui/controls.hpp"

namespace tavrik {

// Every control's place for a client area `width` pixels wide (the height plays no part).
std::array<std::pair<ControlId, ui::Rect>, 12> control_rects(int width);

// Places the twelve controls and repaints the window.
void layout_controls(ui::WindowSystem& window, int width);

}  // namespace tavrik
