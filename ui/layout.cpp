#include "ui/layout.hpp"

#include <cstdint>

namespace tavrik {

int scale_to_dpi(int length, int dpi, int from_dpi) {
    if (from_dpi <= 0 || dpi <= 0 || dpi == from_dpi) return length;
    const std::int64_t product = static_cast<std::int64_t>(length) * dpi;
    const std::int64_t half = from_dpi / 2;
    const std::int64_t scaled =
        product >= 0 ? (product + half) / from_dpi : -((-product + half) / from_dpi);
    return static_cast<int>(scaled);
}

std::array<std::pair<ControlId, ui::Rect>, 12> control_rects(int w, int dpi) {
    const auto s = [dpi](int length) { return scale_to_dpi(length, dpi); };
    // 10-pixel margins; a 105-pixel column on the right, 6 pixels after the two boxes. The
    // margins, the gap and the column are scaled once and the widths made from them, so that
    // both margins stay alike at every DPI.
    const int margin = s(10);
    const int gap = s(6);
    const int column_width = s(105);
    const int column = w - margin - column_width;  // x of the right column
    const int full = w - 2 * margin;               // a row's width
    const int box = column - gap - margin;         // a text box's width, beside the column
    const int open_width = s(125);
    return {{
        {IDC_LABEL_INPUT, {margin, s(10), full, s(20)}},
        {IDC_INPUT, {margin, s(36), box, s(110)}},
        {IDC_FIX, {column, s(36), column_width, s(110)}},
        {IDC_OPEN, {margin, s(152), open_width, s(28)}},
        {IDC_CHECK_SYSTEM, {margin + open_width + gap, s(152), s(170), s(28)}},
        {IDC_LABEL_VARIANTS, {margin, s(190), full, s(20)}},
        {IDC_VARIANTS, {margin, s(216), full, s(160)}},
        {IDC_SCORE, {margin, s(382), full, s(22)}},
        {IDC_LABEL_OUTPUT, {margin, s(410), full, s(20)}},
        {IDC_OUTPUT, {margin, s(436), box, s(100)}},
        {IDC_COPY, {column, s(436), column_width, s(28)}},
        {IDC_SAVE, {column, s(468), column_width, s(28)}},
    }};
}

void layout_controls(ui::WindowSystem& window, int width, int dpi) {
    for (const auto& [control, rect] : control_rects(width, dpi)) {
        window.place_control(control, rect);
    }
    window.repaint();
}

Size initial_window_size(int dpi) {
    return {scale_to_dpi(WINDOW_WIDTH, dpi), scale_to_dpi(WINDOW_HEIGHT, dpi)};
}

Size minimum_window_size(int dpi) {
    return {scale_to_dpi(MIN_WINDOW_WIDTH, dpi), scale_to_dpi(MIN_WINDOW_HEIGHT, dpi)};
}

}  // namespace tavrik
