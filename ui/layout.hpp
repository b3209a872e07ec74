// Where the controls go: rows at fixed heights, widths from the client width alone; every
// length grows with the window's DPI.
#pragma once

#include <array>
#include <utility>

#include "ui/controls.hpp"
#include "ui/window_system.hpp"

namespace tavrik {

// The DPI the window's sizes are given for (100 %).
inline constexpr int BASE_DPI = 96;

// `length` (given at `from_dpi`) at `dpi`, rounded to the nearest pixel, halves away from zero,
// as MulDiv rounds. At the same DPI the length is unchanged.
int scale_to_dpi(int length, int dpi, int from_dpi = BASE_DPI);

// Every control's place for a client area `width` pixels wide (the height plays no part), on a
// window at `dpi`. At 96 DPI these are the window's designed places; at any other DPI every
// margin, height and fixed width is scaled, the widths that follow the window take what is left.
std::array<std::pair<ControlId, ui::Rect>, 12> control_rects(int width, int dpi = BASE_DPI);

// Places the twelve controls and repaints the window.
void layout_controls(ui::WindowSystem& window, int width, int dpi = BASE_DPI);

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// The window's size when it opens, and the smallest the user can make it, at `dpi`.
Size initial_window_size(int dpi);
Size minimum_window_size(int dpi);

}  // namespace tavrik
