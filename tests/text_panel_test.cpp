#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <span>
#include <string>

#ifndef _WIN32
#include "tests/support/posix_helpers.hpp"
#endif

#include "engine/candidate_choice.hpp"
#include "engine/code_pages.hpp"
#include "engine/text_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "tests/support/temp_tree.hpp"
#include "tests/support/test_texts.hpp"
#include "tests/support/window_fixture.hpp"
#include "ui/commands.hpp"
#include "ui/controls.hpp"
#include "ui/input_text.hpp"
#include "ui/list_line.hpp"
#include "ui/text_panel.hpp"
#include "ui/variant_rows.hpp"

namespace tavrik {
namespace {

using ui::MessageBoxIcon;

// «РџСЂРёРІРµС‚, РјРёСЂ!» pasted on a Russian system: the box hands over its Windows-1251 bytes,
// which are the UTF-8 bytes of «Привет, мир!».
const std::string PASTED_GARBLE = "Привет, мир!";

class TextPanel : public test::WindowTest {
  protected:
    // Fixes `shown` as pasted; checks that the list, its order, the scores and the score line
    // are those of the enumeration, and returns the text shown.
    std::u16string fix_pasted(std::u16string_view shown) {
        window.input = shown;
        fix_input(state);
        EXPECT_EQ(window.list_fills, ++fills);
        EXPECT_EQ(window.list.size(), state.candidates.size());
        for (std::size_t i = 0; i < window.list.size() && i < state.candidates.size(); ++i) {
            EXPECT_EQ(window.list[i], list_line_for_display(state.candidates[i]));
        }
        if (state.candidates.empty()) return window.text(IDC_OUTPUT);
        EXPECT_EQ(window.list_selection, state.selected);
        const Candidate& best =
            state.candidates[static_cast<std::size_t>(best_candidate_index(state.candidates))];
        const Candidate& shown_candidate =
            state.candidates[static_cast<std::size_t>(state.selected)];
        EXPECT_EQ(shown_candidate.score, best.score);  // always one of the highest scores
        EXPECT_EQ(window.text(IDC_SCORE), score_line(shown_candidate));
        return window.text(IDC_OUTPUT);
    }
    int fills = 0;
};

std::u16string utf16(std::string_view utf8) {
    std::u16string text;
    EXPECT_TRUE(platform::decode_to_utf16(platform::UTF8_CODE_PAGE, utf8, text));
    return text;
}

// Bytes as a Russian Windows shows them: in 1251, 0x98 as U+0098.
std::u16string shown_in_1251(std::string_view bytes) {
    std::u16string text;
    EXPECT_TRUE(platform::decode_as_system(1251, bytes, text));
    return text;
}

std::string utf8_of(std::u16string_view text) {
    std::string bytes;
    platform::encode_from_utf16(platform::UTF8_CODE_PAGE, text, bytes);
    return bytes;
}

// Texts of our own, short (under 20 letters) and longer, none of them in the language model's
// training text or the accuracy benchmark.
const char* const OWN_TEXTS[] = {
    "Снег идёт",
    "Чай с лимоном",
    "Ключи на столе",
    "Где мой зонт?",
    "Позвони маме",
    "Утром в парке было тихо, только дворник сметал листья с дорожек.",
    "Если поезд опоздает, встречай нас у киоска с газетами.",
    "Наш сосед держит пчёл, и каждую осень приносит банку мёда.",
};

TEST_F(TextPanel, PreselectsTheWritersTextAmongTheHighestScores) {
    struct Path {
        const char* name;
        std::u16string (*shown)(const std::string& text);
    };
    const Path paths[] = {
        {"KOI8-R shown as 1251",
         [](const std::string& t) { return shown_in_1251(test::encode(20866, t)); }},
        {"IBM866 shown as 1251",
         [](const std::string& t) { return shown_in_1251(test::encode(866, t)); }},
        {"ISO-8859-5 shown as 1251",
         [](const std::string& t) { return shown_in_1251(test::encode(28595, t)); }},
        {"UTF-8 shown as 1251, twice",
         [](const std::string& t) { return shown_in_1251(utf8_of(shown_in_1251(t))); }},
    };
    for (const Path& path : paths) {
        for (const char* text : OWN_TEXTS) {
            const std::u16string shown = path.shown(text);
            ASSERT_FALSE(shown.empty()) << path.name << ": " << text;
            EXPECT_EQ(fix_pasted(shown), utf16(text)) << path.name << ": " << text;
        }
    }
}

TEST_F(TextPanel, ChoicesThatWereRightStayRight) {
    const std::u16string one_line = u"Нам нужно ещё две пачки бумаги для принтера.";
    struct Case {
        std::u16string pasted;
        std::u16string shown;
    };
    const Case cases[] = {
        {u"РџСЂРёРІРµС‚, РјРёСЂ!", u"Привет, мир!"},
        {shown_in_1251(utf8_of(one_line)), one_line},  // UTF-8 shown as 1251
        {shown_in_1251(utf8_of(u"Снег идёт")), u"Снег идёт"},
        {u"Hello", u"Hello"},
        {u"Привет, мир!", u"Привет, мир!"},  // nothing garbled
        {one_line, one_line},
        {u"Р\u0098РЅРѕРіРґР°", u"Иногда"},  // «И» carried as 0x98
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fix_pasted(c.pasted), c.shown) << utf8_of(c.pasted);
        // The first of the highest scores was right already: the choice did not move.
        EXPECT_EQ(state.selected, best_candidate_index(state.candidates)) << utf8_of(c.pasted);
    }
}

// Text shown through a Western page: the catalogue's rows come first, exactly the enumeration's
// of the bytes handed over; then rows of the repair's own; the row preselected is the text the
// console tool's fix writes.
TEST_F(TextPanel, ReadingsThroughShownPagesFollowTheCatalogueAndTheFixIsPreselected) {
    const std::u16string pasted = u"Ð¿Ñ€Ð¸Ð²ÐµÑ‚, Ð¼Ð¸Ñ€!";  // UTF-8 shown as 1252
    window.input = pasted;
    fix_input(state);
    const std::string bytes = engine_input(pasted);
    std::array<Candidate, MAX_CANDIDATES> catalogue;
    int count = 0;
    enumerate_candidates(bytes, catalogue, count);
    ASSERT_GT(count, 0);
    ASSERT_GT(state.candidates.size(), static_cast<std::size_t>(count));
    ASSERT_LE(state.candidates.size(), static_cast<std::size_t>(count + MAX_OWN_ROWS));
    for (int i = 0; i < count; ++i) {
        const Candidate& row = state.candidates[static_cast<std::size_t>(i)];
        EXPECT_EQ(row.view(), catalogue[static_cast<std::size_t>(i)].view());
        EXPECT_STREQ(row.label_text(), catalogue[static_cast<std::size_t>(i)].label_text());
        EXPECT_EQ(row.score, catalogue[static_cast<std::size_t>(i)].score);
    }
    const Candidate& first_own = state.candidates[static_cast<std::size_t>(count)];
    EXPECT_STREQ(first_own.label_text(), "utf8 → cp1252 → utf8");
    EXPECT_EQ(state.selected, count);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"привет, мир!");
    EXPECT_EQ(window.text(IDC_SCORE), score_line(first_own));
    const TextRepair fixed = repair_text(utf8_of(pasted));
    EXPECT_EQ(first_own.view(), fixed.text);
    free_candidates(std::span(catalogue).first(static_cast<std::size_t>(count)));
}

TEST_F(TextPanel, TextTheSystemCodePageCannotHoldIsFixedFromItsUtf8) {
    // «Привет, мир!» written in 1251 and shown as 866, as a console shows it.
    EXPECT_EQ(fix_pasted(u"╧ЁштхЄ, ьшЁ!"), u"Привет, мир!");
    EXPECT_EQ(window.text(IDC_SCORE).substr(window.text(IDC_SCORE).find(u'|')),
              u"|  utf8 → cp866 → cp1251");
}

TEST_F(TextPanel, FixShowsTheBestVariantReadable) {
    window.paste_ansi(PASTED_GARBLE);
    fix_input(state);
    ASSERT_FALSE(state.candidates.empty());
    EXPECT_EQ(window.list.size(), state.candidates.size());
    EXPECT_EQ(state.selected, 0);
    EXPECT_EQ(window.list_selection, 0);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"Привет, мир!");
    EXPECT_EQ(window.text(IDC_SCORE), u"Оценка: 150  |  utf8 → cp1251 → cp1251");
    EXPECT_EQ(window.list[0], u"utf8 → cp1251 → cp1251\t150\tПривет, мир!");
    for (std::size_t i = 0; i < window.list.size(); ++i) {
        EXPECT_EQ(window.list[i], list_line_for_display(state.candidates[i]));
        EXPECT_EQ(window.list[i].find_first_of(u"\r\n"), std::u16string::npos);
    }
}

TEST_F(TextPanel, EmptyInputClearsEverything) {
    window.paste_ansi(PASTED_GARBLE);
    fix_input(state);
    window.input.clear();
    fix_input(state);
    EXPECT_TRUE(state.candidates.empty());
    EXPECT_EQ(state.selected, -1);
    EXPECT_TRUE(window.list.empty());
    EXPECT_EQ(window.text(IDC_OUTPUT), u"");
    EXPECT_EQ(window.text(IDC_SCORE), NO_SCORE);
}

TEST_F(TextPanel, NoCandidatesLeaveTheOutputAlone) {
    window.paste_ansi(PASTED_GARBLE);
    fix_input(state);
    // Nothing survives a chain when every code page is one we cannot convert.
    platform::SystemCodePageOverride unknown(1, 1);
    window.paste_ansi(std::string(WORK_BUFFER_SIZE + 1, '\xFF'));
    fix_input(state);
    EXPECT_TRUE(state.candidates.empty());
    EXPECT_TRUE(window.list.empty());
    EXPECT_EQ(window.text(IDC_OUTPUT), u"Привет, мир!");
    copy_selected(state);
    EXPECT_FALSE(window.clipboard.has_value());
    save_selected(state);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].text, u"Выберите вариант из списка.");
    EXPECT_EQ(window.message_boxes[0].caption, u"Информация");
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Information);
}

TEST_F(TextPanel, EqualTopScoresSelectTheEarliest) {
    window.paste_ansi("Hello");  // every candidate the same text and score
    fix_input(state);
    EXPECT_EQ(state.selected, 0);
    EXPECT_EQ(window.text(IDC_SCORE), u"Оценка: 70  |  utf8 → cp1251 → cp1251");
}

TEST_F(TextPanel, SelectingAVariantShowsIt) {
    window.paste_ansi("\xF0\xD2\xC9\xD7\xC5\xD4\x2C\x20\xCD\xC9\xD2");  // KOI8-R shown as 1251
    fix_input(state);
    EXPECT_EQ(state.selected, 2);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"Привет, мир");
    window.list_selection = 0;
    on_command(state, IDC_VARIANTS, LIST_SELECTION_CHANGED);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"рТЙЧЕФ, НЙТ");
    EXPECT_EQ(window.text(IDC_SCORE), u"Оценка: 100  |  utf8 → utf8 → cp1251");
    window.list_selection = 1;
    on_command(state, IDC_VARIANTS, 2);  // another notification: ignored
    EXPECT_EQ(state.selected, 0);
    window.list_selection = -1;  // a click below the last line
    on_command(state, IDC_VARIANTS, LIST_SELECTION_CHANGED);
    EXPECT_EQ(state.selected, 0);
}

TEST_F(TextPanel, ShownTextKeepsItsLineBreaksTheListDoesNot) {
    window.paste_ansi("a\tb\nc");
    fix_input(state);
    EXPECT_EQ(window.text(IDC_OUTPUT), u"a\tb\r\nc");
    EXPECT_EQ(window.list[0], u"utf8 → cp1251 → cp1251\t60\ta b c");
}

TEST_F(TextPanel, IllFormedTextShowsReplacementCharacters) {
    window.paste_ansi("\xEF\xF0\xE8");  // not UTF-8: the identity chain keeps it as it is
    fix_input(state);
    for (std::size_t i = 0; i < state.candidates.size(); ++i) {
        if (std::string(state.candidates[i].label_text()) != "utf8 → utf8 → utf8") continue;
        window.list_selection = static_cast<int>(i);
        select_variant(state);
        EXPECT_EQ(window.text(IDC_OUTPUT), u"\uFFFD\uFFFD\uFFFD");
        EXPECT_EQ(window.list[i], u"utf8 → utf8 → utf8\t1\t\uFFFD\uFFFD\uFFFD");
    }
}

TEST_F(TextPanel, CopyPutsTheShownTextOnTheClipboard) {
    copy_selected(state);
    EXPECT_FALSE(window.clipboard.has_value());
    window.paste_ansi(PASTED_GARBLE);
    fix_input(state);
    copy_selected(state);
    EXPECT_EQ(window.clipboard, u"Привет, мир!");
    EXPECT_TRUE(window.message_boxes.empty());
}

TEST_F(TextPanel, SaveWritesExactlyTheCandidatesBytes) {
    test::TempTree tree;
    tree.make_file(u"исправлено.txt", "old content that is longer");
    window.paste_ansi(PASTED_GARBLE);
    fix_input(state);
    window.chosen_files = {std::nullopt, tree.path(u"исправлено.txt")};
    save_selected(state);  // cancelled
    EXPECT_EQ(tree.read(u"исправлено.txt"), "old content that is longer");
    save_selected(state);
    EXPECT_EQ(tree.read(u"исправлено.txt"), "Привет, мир!");
    EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"исправлено.txt"});
    EXPECT_TRUE(window.message_boxes.empty());
    ASSERT_EQ(window.file_dialogs.size(), 2u);
    const ui::FileDialog& dialog = window.file_dialogs[0];
    EXPECT_EQ(dialog.purpose, ui::FileDialog::Purpose::Save);
    EXPECT_EQ(dialog.title, u"Сохранить");
    EXPECT_EQ(dialog.initial_name, u"исправлено.txt");
    EXPECT_EQ(dialog.default_extension, u"txt");
    ASSERT_EQ(dialog.filters.size(), 2u);
    EXPECT_EQ(dialog.filters[0].first, u"Текст");
    EXPECT_EQ(dialog.filters[1].second, u"*.*");
}

TEST_F(TextPanel, SaveThatFailsSaysSo) {
    test::TempTree tree;
    window.paste_ansi(PASTED_GARBLE);
    fix_input(state);
    window.chosen_files = {tree.path(u"missing folder/file.txt")};
    save_selected(state);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].text, u"Не удалось записать.");
    EXPECT_EQ(window.message_boxes[0].caption, u"Ошибка");
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Error);
}

TEST_F(TextPanel, OpenLoadsTheFileAndFixesIt) {
    test::TempTree tree;
    tree.make_file(u"garbled.txt", std::string("\xD0\xD2\xC9\xD7\xC5\xD4") + '\0' + "after");
    window.chosen_files = {std::nullopt, tree.path(u"missing.txt"), tree.path(u"garbled.txt")};
    open_text_file(state);  // cancelled
    EXPECT_TRUE(window.message_boxes.empty());
    open_text_file(state);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].text, u"Не удалось открыть файл.");
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Error);
    EXPECT_TRUE(window.input.empty());
    open_text_file(state);
    EXPECT_EQ(window.input, u"РТЙЧЕФ");             // up to the NUL, as 1251 shows it
    EXPECT_EQ(window.text(IDC_OUTPUT), u"привет");  // KOI8-R, the common word decides
    // What followed the NUL is not silently gone.
    ASSERT_EQ(window.message_boxes.size(), 2u);
    EXPECT_EQ(window.message_boxes[1].text,
              u"В файле есть нулевой байт: загружен только текст до первого нулевого байта.\n"
              u"Исправленный текст будет неполным.");
    EXPECT_EQ(window.message_boxes[1].caption, u"Предупреждение");
    EXPECT_EQ(window.message_boxes[1].icon, MessageBoxIcon::Warning);
    EXPECT_EQ(window.file_dialogs[0].title, u"Открыть файл");
    EXPECT_EQ(window.file_dialogs[0].filters[0].first, u"Все файлы");
}

// A device or a pipe is no file to open: refused at once rather than waited on.
TEST_F(TextPanel, OpeningSomethingThatIsNoFileSaysSo) {
    test::TempTree tree;
#ifdef _WIN32
    const std::u16string device = u"NUL";
#else
    const std::u16string device = tree.path(u"fifo");  // no writer: opening it would wait
    ASSERT_TRUE(test::make_fifo(device));
#endif
    window.chosen_files = {device, tree.path(u"folder")};
    tree.make_directory(u"folder");
    open_text_file(state);
    open_text_file(state);
    ASSERT_EQ(window.message_boxes.size(), 2u);
    for (const auto& box : window.message_boxes) {
        EXPECT_EQ(box.text, u"Не удалось открыть файл.");
        EXPECT_EQ(box.icon, MessageBoxIcon::Error);
    }
    EXPECT_TRUE(window.input.empty());
}

TEST_F(TextPanel, OpenReadsUtf16DropsAUtf8MarkAndWarnsAtANul) {
    using namespace std::string_literals;
    const std::u16string nul_byte =
        u"В файле есть нулевой байт: загружен только текст до первого нулевого байта.\n"
        u"Исправленный текст будет неполным.";
    const std::u16string nul_character =
        u"В тексте файла есть нулевой символ: загружен только текст до первого из них.\n"
        u"Исправленный текст будет неполным.";
    struct Case {
        std::string bytes;
        std::u16string input;
        std::u16string fixed;
        std::vector<std::u16string> warnings;
    };
    const Case cases[] = {
        // «Привет, мир!» written in 1251, shown as 866 and saved as UTF-16: 1251 cannot hold it.
        {"\xFF\xFE\x67\x25\x01\x04\x48\x04\x42\x04\x45\x04\x04\x04,\0 \0\x4C\x04\x48\x04"
         "\x01\x04!\0"s,
         u"╧ЁштхЄ, ьшЁ!",
         u"Привет, мир!",
         {}},
        {"\xFE\xFF\x04\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42"s, u"Привет", u"Привет", {}},
        {"\xFF\xFE\x1F\x04\x40\x04\0\0\x38\x04"s, u"Пр", u"Пр", {nul_character}},
        {"\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
         u"РџСЂРёРІРµС‚",
         u"Привет",
         {}},  // a UTF-8 mark is no part of the text: no «п»ї» in front
        {"\xEF\xF0\xE8\xE2\xE5\xF2\0\xFF\xFE"s, u"привет", u"привет", {nul_byte}},
    };
    test::TempTree tree;
    for (const Case& c : cases) {
        tree.make_file(u"text.txt", c.bytes);
        window.chosen_files = {tree.path(u"text.txt")};
        window.message_boxes.clear();
        open_text_file(state);
        EXPECT_EQ(window.input, c.input);
        EXPECT_EQ(window.text(IDC_OUTPUT), c.fixed);
        std::vector<std::u16string> warnings;
        for (const auto& box : window.message_boxes) {
            EXPECT_EQ(box.caption, u"Предупреждение");
            EXPECT_EQ(box.icon, MessageBoxIcon::Warning);
            warnings.push_back(box.text);
        }
        EXPECT_EQ(warnings, c.warnings);
    }
}

TEST_F(TextPanel, OpeningALargeFileWarnsThatOnlyItsStartIsLoaded) {
    test::TempTree tree;
    tree.make_file(u"big.txt", std::string(OPEN_READ_LIMIT + 10, 'a'));
    tree.make_file(u"exact.txt", std::string(OPEN_READ_LIMIT, 'a'));
    window.chosen_files = {tree.path(u"exact.txt"), tree.path(u"big.txt")};
    open_text_file(state);
    EXPECT_TRUE(window.message_boxes.empty());
    open_text_file(state);
    EXPECT_EQ(window.input.size(), OPEN_READ_LIMIT);
    ASSERT_EQ(window.message_boxes.size(), 1u);
    EXPECT_EQ(window.message_boxes[0].icon, MessageBoxIcon::Warning);
    EXPECT_EQ(window.message_boxes[0].caption, u"Предупреждение");
    EXPECT_FALSE(state.candidates.empty());
}

}  // namespace
}  // namespace tavrik
