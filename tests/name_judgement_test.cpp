#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "encoding/utf8.hpp"
#include "names/directory_repair.hpp"
#include "names/folder_scan.hpp"
#include "names/name_judgement.hpp"
#include "names/name_readings.hpp"
#include "names/name_repair.hpp"
#include "names/plausible_name_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using Names = std::vector<std::u16string>;

std::string shown(std::u16string_view text) {
    std::string out;
    encoding::utf8::encode_lenient(text, out);
    return out;
}

// `name` written in one code page (UTF-8 too) and read in another.
std::u16string garbled(std::u16string_view name, std::uint32_t written, std::uint32_t read) {
    std::string bytes;
    if (written == encoding::UTF8_CODE_PAGE)
        bytes = shown(name);
    else
        platform::encode_from_utf16(written, name, bytes);
    std::u16string out;
    platform::decode_to_utf16(read, bytes, out);
    return out;
}

// Right names that the count of Cyrillic letters takes for garbled: a dash, a guillemet or «№»
// becomes a letter in the other code page. repair_name still proposes what it always did.
struct ProposedWrongly {
    std::u16string name;
    std::u16string count_proposes;
};
const ProposedWrongly RIGHT_NAMES_THE_COUNT_TAKES[] = {
    {u"список дел — март.txt", u"ёяшёюъ фхы Ч ьрЁЄ.txt"},
    {u"отчет – итог.docx", u"юЄўхЄ Ц шЄюу.docx"},
    {u"план «на завтра».txt", u"яырэ лэр чртЄЁр╗.txt"},
    {u"акт №12 — март.pdf", u"ръЄ ╣12 Ч ьрЁЄ.pdf"},
    {u"тест №1.txt", u"вҐбв ь1.txt"},
    {u"робота — план.txt", u"ЁюсюЄр Ч яырэ.txt"},          // Ukrainian
    {u"Јован — љубав.txt", u"гютрэ Ч Ъєсрт.txt"},          // Serbian
    {u"съвет — «отговор».doc", u"ё·тхЄ Ч люЄуютюЁ╗.doc"},  // Bulgarian
};

// More right names of every kind: none may be listed by any rule.
const std::u16string MORE_RIGHT_NAMES[] = {
    u"ёлка — новый год.jpg",
    u"Отчёт — итог «квартал» №3.docx",
    u"ДОГОВОР №15 — АРЕНДА.pdf",
    u"звіт — березень.docx",
    u"їжак – малюнок.png",
    u"Љубав — песма.txt",
    u"Съобщение «важно».txt",
    u"№1",
    u"Фото 2020.jpg",
};

// Garbled names, with dashes and guillemets among them, that the window and `names` must find.
struct Garbled {
    std::u16string name;
    std::uint32_t written, read;
};
const Garbled GARBLED_NAMES[] = {
    {u"Фото 2020", 866, 1251},
    {u"Фото 2020", 1251, 866},
    {u"Новая папка", 1251, 866},
    {u"Отчёт — итог.docx", 1251, 866},
    {u"Договор «Аренда» №15.pdf", 1251, 866},
    {u"Письмо директору №2.txt", 866, 1251},
    {u"ОТЧЕТ ЗА МАРТ", 866, 1251},
};

// Right names of other Cyrillic languages, of the shapes a reading turns into Russian letters: a
// letter of another alphabet («Ј» is «г» in 866 shown in 1251), words in one case each that
// KOI8-R and 1251 swap («ОДГ цртеж» reads «ндц ЖПРЕФ»). No rule may take them for garbled.
const std::u16string OTHER_LANGUAGES_NAMES[] = {
    u"Јага",       u"ОДГ цртеж", u"цртеж.pdf",   u"Љубљана",       u"Његош",
    u"Ђурђевдан",  u"Ћуприја",   u"Скопје",      u"Ѓорѓи и Ќерка", u"Ѕвезда",
    u"Јован јаја", u"ПДФ нацрт", u"Київ",        u"Їжак",          u"Євген.docx",
    u"Ґанок",      u"Білорусь",  u"ўсход сонца", u"ЗВІТ за рік",   u"Світлини 2020",
};

// Garbled Russian names of the same shapes, all letters and cased as written: still found.
const Garbled GARBLED_AS_LETTERS[] = {
    {u"папка", 1251, 866}, {u"ОТЧЕТ за март", 20866, 1251}, {u"отчет ЗА МАРТ", 20866, 1251},
    {u"Путь", 866, 1251},  {u"рабочий стол", 20866, 1251},
};

class NameJudgement : public testing::Test {
  protected:
    platform::SystemCodePageOverride russian_{1251, 866};
};

TEST_F(NameJudgement, RightNamesStayGarbledOnesAreFound) {
    for (const auto& [name, proposed] : RIGHT_NAMES_THE_COUNT_TAKES) {
        std::u16string out;
        EXPECT_EQ(repair_name(name, out), 1) << shown(name);
        EXPECT_EQ(out, proposed) << shown(name);
        EXPECT_FALSE(is_convincing_name_repair(name, proposed)) << shown(name);
    }
    std::vector<std::u16string> right;
    for (const auto& c : RIGHT_NAMES_THE_COUNT_TAKES)
        right.push_back(c.name);
    right.insert(right.end(), std::begin(MORE_RIGHT_NAMES), std::end(MORE_RIGHT_NAMES));
    for (const std::u16string& name : right) {
        std::u16string out = u"untouched";
        EXPECT_EQ(repair_broken_name(name, out), 0) << shown(name) << " -> " << shown(out);
        EXPECT_EQ(repair_name_either_way(name, out), 0) << shown(name) << " -> " << shown(out);
        EXPECT_EQ(out, u"untouched");
    }
    for (const auto& [name, written, read] : GARBLED_NAMES) {
        const std::u16string on_disk = garbled(name, written, read);
        std::u16string by_window, by_console;
        EXPECT_EQ(repair_broken_name(on_disk, by_window), 1) << shown(on_disk);
        EXPECT_EQ(by_window, name);
        EXPECT_EQ(repair_name_either_way(on_disk, by_console), 1) << shown(on_disk);
        EXPECT_EQ(by_console, name);
    }
}

TEST_F(NameJudgement, RightNamesOfOtherCyrillicLanguagesStay) {
    for (const std::u16string& name : OTHER_LANGUAGES_NAMES) {
        std::u16string out = u"untouched";
        EXPECT_EQ(repair_name_every_way(name, out), 0) << shown(name) << " -> " << shown(out);
        EXPECT_EQ(repair_name_either_way(name, out), 0) << shown(name) << " -> " << shown(out);
    }
    for (const auto& [name, written, read] : GARBLED_AS_LETTERS) {
        const std::u16string on_disk = garbled(name, written, read);
        std::u16string out;
        EXPECT_EQ(repair_name_every_way(on_disk, out), 1) << shown(on_disk);
        EXPECT_EQ(out, name) << shown(on_disk);
    }
}

// A zip's UTF-8 names shown in 866 read as UTF-8 shown in 1251 once «repaired»: still garbled.
TEST_F(NameJudgement, NoRenameFromOneGarblingIntoAnother) {
    const std::u16string name = u"санузел4_план.zip";
    const std::u16string in_zip = garbled(name, encoding::UTF8_CODE_PAGE, 866);
    ASSERT_EQ(in_zip.substr(0, 4), u"╤Б╨░");
    std::u16string proposed, out;
    ASSERT_EQ(repair_name(in_zip, proposed), 1);
    EXPECT_EQ(proposed, garbled(name, encoding::UTF8_CODE_PAGE, 1251));
    EXPECT_FALSE(is_convincing_name_repair(in_zip, proposed));
    EXPECT_EQ(repair_broken_name(in_zip, out), 0);
    EXPECT_EQ(repair_name_either_way(in_zip, out), 0);
}

TEST_F(NameJudgement, OnlyAChangeCanConvince) {
    EXPECT_FALSE(is_convincing_name_repair(u"Фото", u"Фото"));
    EXPECT_FALSE(is_convincing_name_repair(u"╘юЄю", u""));
    EXPECT_TRUE(is_convincing_name_repair(u"╘юЄю", u"Фото"));
    // The ASCII part is the same in every reading: no evidence, and no dilution either.
    EXPECT_EQ(name_own_text_measure(u"IMG_0042 копия.jpg").symbols,
              name_own_text_measure(u" копия ").symbols);
}

// Every path that lists or renames leaves the right names alone and repairs the garbled ones.
TEST_F(NameJudgement, EveryPathListsAndRenamesTheSame) {
    test::TempTree tree;
    Names right, repaired;
    for (const auto& c : RIGHT_NAMES_THE_COUNT_TAKES) {
        tree.make_file(c.name);
        right.push_back(c.name);
    }
    for (const std::u16string& name : MORE_RIGHT_NAMES) {
        tree.make_file(name);
        right.push_back(name);
    }
    for (const auto& [name, written, read] : GARBLED_NAMES) {
        if (std::find(repaired.begin(), repaired.end(), name) != repaired.end()) continue;
        tree.make_file(garbled(name, written, read));
        repaired.push_back(name);
    }
    for (const BrokenNameRule rule :
         {BrokenNameRule{repair_name}, BrokenNameRule{repair_broken_name},
          BrokenNameRule{repair_name_either_way}}) {
        BrokenNameList list;
        std::set<platform::DirectoryIdentity> walked;
        scan_directory(tree.root(), list, walked, rule);
        Names found = list.names;
        std::sort(found.begin(), found.end());
        Names expected = repaired;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected);
    }
    for (const std::u16string& name : right)
        EXPECT_EQ(rename_if_broken(tree.path(name)), 0) << shown(name);
    EXPECT_EQ(repair_names_in_directory(tree.root(), 1), static_cast<int>(repaired.size()));
    Names all = right;
    all.insert(all.end(), repaired.begin(), repaired.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(tree.names_in(), all);
}

}  // namespace
}  // namespace tavrik
