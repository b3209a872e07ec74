// The main window's fixed parts: identifiers, the twelve controls, the menus, sizes and texts.
#pragma once

#include <array>
#include <string_view>

#include "ui/window_system.hpp"

namespace tavrik {

using ui::ControlId;

inline constexpr ControlId IDC_INPUT = 1001;
inline constexpr ControlId IDC_OUTPUT = 1002;
inline constexpr ControlId IDC_VARIANTS = 1003;
inline constexpr ControlId IDC_FIX = 1004;
inline constexpr ControlId IDC_OPEN = 1005;
inline constexpr ControlId IDC_COPY = 1006;
inline constexpr ControlId IDC_SAVE = 1007;
inline constexpr ControlId IDC_LABEL_INPUT = 1008;
inline constexpr ControlId IDC_LABEL_VARIANTS = 1009;
inline constexpr ControlId IDC_LABEL_OUTPUT = 1010;
inline constexpr ControlId IDC_SCORE = 1011;
inline constexpr ControlId IDC_CHECK_SYSTEM = 1012;

inline constexpr ControlId IDM_OPEN = 2001;
inline constexpr ControlId IDM_EXIT = 2002;
inline constexpr ControlId IDM_CHECK_SYSTEM = 2003;
inline constexpr ControlId IDM_FIX_SYSTEM = 2004;
inline constexpr ControlId IDM_ABOUT = 2005;
// The command of Ctrl+A, which is in no menu: selects all of the text box that has the focus.
inline constexpr ControlId IDM_SELECT_ALL = 2006;
inline constexpr ControlId IDM_CHECK_FOLDER = 2007;

// What a control is, which decides its window class and styles.
enum class ControlKind { Label, InputBox, Button, VariantList, ScoreLine, OutputBox };
enum class FontKind { Ui, Bold, Mono };

struct ControlSpec {
    ControlId id;
    std::u16string_view class_name;
    std::u16string_view text;
    ControlKind kind;
    FontKind font;
};

// In creation order, which is also the order of the tab stops.
inline constexpr std::array<ControlSpec, 12> CONTROLS = {{
    {IDC_LABEL_INPUT, u"STATIC", u"▶  Вставьте кракозябры и нажмите ИСПРАВИТЬ:", ControlKind::Label,
     FontKind::Bold},
    {IDC_INPUT, u"EDIT", u"", ControlKind::InputBox, FontKind::Mono},
    {IDC_FIX, u"BUTTON", u"ИСПРАВИТЬ", ControlKind::Button, FontKind::Ui},
    {IDC_OPEN, u"BUTTON", u"📂 Открыть файл...", ControlKind::Button, FontKind::Ui},
    {IDC_CHECK_SYSTEM, u"BUTTON", u"🔍 Проверить систему", ControlKind::Button, FontKind::Ui},
    {IDC_LABEL_VARIANTS, u"STATIC", u"▶  Варианты исправления (кликните для выбора):",
     ControlKind::Label, FontKind::Bold},
    {IDC_VARIANTS, u"LISTBOX", u"", ControlKind::VariantList, FontKind::Ui},
    {IDC_SCORE, u"STATIC", u"Оценка: —", ControlKind::ScoreLine, FontKind::Ui},
    {IDC_LABEL_OUTPUT, u"STATIC", u"▶  Исправленный текст:", ControlKind::Label, FontKind::Bold},
    {IDC_OUTPUT, u"EDIT", u"", ControlKind::OutputBox, FontKind::Mono},
    {IDC_COPY, u"BUTTON", u"📋 Копировать", ControlKind::Button, FontKind::Ui},
    {IDC_SAVE, u"BUTTON", u"💾 Сохранить...", ControlKind::Button, FontKind::Ui},
}};

struct MenuSpec {
    std::u16string_view title;
    std::array<std::pair<ControlId, std::u16string_view>, 3> items;  // id 0: a separator
    int item_count;
};

inline constexpr std::array<MenuSpec, 3> MENUS = {{
    {u"Файл", {{{IDM_OPEN, u"📂 Открыть файл..."}, {0, u""}, {IDM_EXIT, u"Выход"}}}, 3},
    {u"Инструменты",
     {{{IDM_CHECK_SYSTEM, u"🔍 Проверить систему"},
       {IDM_CHECK_FOLDER, u"📁 Проверить папку..."},
       {IDM_FIX_SYSTEM, u"🛠 Исправить систему"}}},
     3},
    {u"Справка", {{{IDM_ABOUT, u"О программе"}, {}, {}}}, 1},
}};

// Keys by their Windows virtual-key codes.
inline constexpr unsigned KEY_RETURN = 0x0D;
inline constexpr unsigned KEY_F5 = 0x74;

// The keyboard shortcuts, whichever control has the focus. The menus keep their texts: the
// shortcuts are not shown there.
struct Shortcut {
    unsigned key;  // a virtual-key code; letters are their capitals
    bool control;  // with Ctrl held
    ControlId command;
};

inline constexpr std::array<Shortcut, 5> SHORTCUTS = {{
    {'O', true, IDM_OPEN},
    {'S', true, IDC_SAVE},
    {KEY_RETURN, true, IDC_FIX},
    {KEY_F5, false, IDC_FIX},
    {'A', true, IDM_SELECT_ALL},
}};

inline constexpr std::u16string_view WINDOW_CLASS = u"TavrikGUI";
inline constexpr std::u16string_view WINDOW_TITLE = u"Tavrik — исправление битой кодировки";
inline constexpr int WINDOW_WIDTH = 730;
inline constexpr int WINDOW_HEIGHT = 640;
inline constexpr int MIN_WINDOW_WIDTH = 580;
inline constexpr int MIN_WINDOW_HEIGHT = 520;
// In quarters of the list font's average character width, so that they grow with the font.
inline constexpr std::array<int, 2> LIST_TAB_STOPS = {210, 260};
inline constexpr unsigned SCORE_TEXT_RED = 0, SCORE_TEXT_GREEN = 100, SCORE_TEXT_BLUE = 0;

inline constexpr std::u16string_view ABOUT_CAPTION = u"О программе";
inline constexpr std::u16string_view ABOUT_TEXT =
    u"Tavrik — исправление битой кодировки\n\n"
    u"Перебирает цепочки перекодировок и находит правильный текст.\n"
    u"Исправляет кракозябры в UTF-8, CP1251, CP866, KOI8-R.\n"
    u"Умеет чинить имена файлов (ANSI ↔ OEM).";

}  // namespace tavrik
