#include "ui/layout.hpp"

namespace tavrik {

std::array<std::pair<ControlId, ui::Rect>, 12> control_rects(int w) {
    // 10-pixel margins; a 105-pixel column on the right, 6 pixels after the two boxes.
    return {{
        {IDC_LABEL_INPUT, {10, 10, w - 20, 20}},
        {IDC_INPUT, {10, 36, w - 131, 110}},
        {IDC_FIX, {w - 115, 36, 105, 110}},
        {IDC_OPEN, {10, 152, 125, 28}},
        {IDC_CHECK_SYSTEM, {141, 152, 170, 28}},
        {IDC_LABEL_VARIANTS, {10, 190, w - 20, 20}},
        {IDC_VARIANTS, {10, 216, w - 20, 160}},
        {IDC_SCORE, {10, 382, w - 20, 22}},
        {IDC_LABEL_OUTPUT, {10, 410, w - 20, 20}},
        {IDC_OUTPUT, {10, 436, w - 131, 100}},
        {IDC_COPY, {w - 115, 436, 105, 28}},
        {IDC_SAVE, {w - 115, 468, 105, 28}},
    }};
}

void layout_controls(ui::WindowSystem& window, int width) {
    for (const auto& [control, rect] : control_rects(width)) window.place_control(control, rect);
    window.repaint();
}

}  // namespace tavrik
