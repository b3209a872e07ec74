#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "names/folder_scan.hpp"
#include "names/name_repair.hpp"
#include "names/plausible_name_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/file_system.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using Names = std::vector<std::u16string>;

// `name` written in one code page and read in the other.
std::u16string garbled(std::u16string_view name, std::uint32_t written, std::uint32_t read) {
    std::string bytes;
    platform::encode_from_utf16(written, name, bytes);
    std::u16string shown;
    platform::decode_to_utf16(read, bytes, shown);
    return shown;
}

// Lower-case names written in 1251 and read in 866 stay all Cyrillic: the count of Cyrillic
// letters cannot tell them, the plausibility can; so can it names garbled the other way.
TEST(PlausibleNameRepair, FindsGarbledNamesTheCountMisses) {
    platform::SystemCodePageOverride russian(1251, 866);
    struct Case {
        std::u16string shown;
        std::u16string repaired;
        bool count_finds;
    };
    const Case cases[] = {
        {u"яряър", u"папка", false},
        {u"ъюэЇшуш", u"конфиги", false},
        {garbled(u"программа", 1251, 866), u"программа", false},
        {garbled(u"отчет 2021.xlsx", 1251, 866), u"отчет 2021.xlsx", false},
        {garbled(u"фотографии с отпуска", 1251, 866), u"фотографии с отпуска", false},
        {garbled(u"Октябрь", 866, 1251), u"Октябрь", false},
        {garbled(u"Отчет 2021.xlsx", 866, 1251), u"Отчет 2021.xlsx", false},
        {garbled(u"Фото 2020", 866, 1251), u"Фото 2020", true},
        {garbled(u"Новая папка", 1251, 866), u"Новая папка", true},
    };
    const std::u16string in_folder = std::u16string(u"folder") + platform::PATH_SEPARATOR;
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const Case& c = cases[k];
        std::u16string by_count, by_plausibility, either;
        EXPECT_EQ(repair_name(c.shown, by_count) == 1 && by_count == c.repaired, c.count_finds)
            << "case " << k;
        ASSERT_EQ(repair_name_by_plausibility(in_folder + c.shown, by_plausibility), 1)
            << "case " << k;
        EXPECT_TRUE(by_plausibility == c.repaired) << "case " << k;
        ASSERT_EQ(repair_name_either_way(c.shown, either), 1);
        EXPECT_TRUE(either == c.repaired) << "case " << k;
    }
}

// Real names, Russian and English, are left alone; so are short ones, whose evidence is weak.
TEST(PlausibleNameRepair, LeavesRealNamesAlone) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::u16string names[] = {
        u"папка",
        u"Документы",
        u"Новая папка (2)",
        u"Отчёт за квартал.docx",
        u"Съёмка",
        u"Ёлка",
        u"Объявление",
        u"Налоговая декларация",
        u"Фильтр",
        u"курух",
        u"игбо",
        u"Мярьямаа",
        u"Саураштра",
        u"readme.txt",
        u"Program Files",
        u"café",
        u"naïve résumé",
        u"ъюэ",
        u"яр",
        u"2020",
        u"",
        u"конфиги",
        u"Подъезд",
        u"Щенок",
    };
    for (const std::u16string& name : names) {
        std::u16string out = u"untouched";
        EXPECT_EQ(repair_name_by_plausibility(name, out), 0) << std::string(out.begin(), out.end());
        EXPECT_EQ(out, u"untouched");
    }
    // With both system code pages the same, nothing is garbled between them.
    platform::SystemCodePageOverride same(1251, 1251);
    std::u16string out;
    EXPECT_EQ(repair_name_by_plausibility(u"яряър", out), 0);
}

// The walk finds what either rule finds, a directory before its contents, and the existing
// renames repair them all; scan_directory (the count alone) misses the all-Cyrillic ones.
TEST(PlausibleNameRepair, WalkFindsAndRenamesEitherWay) {
    platform::SystemCodePageOverride russian(1251, 866);
    test::TempTree tree;
    tree.make_directory(u"яряър");
    tree.make_file(u"яряър/ъюэЇшуш.txt");
    tree.make_file(u"яряър/readme.txt");
    tree.make_file(u"Документы.txt");
    tree.make_file(garbled(u"Фото 2020", 866, 1251));

    BrokenNameList by_count;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree.root(), by_count, walked);
    EXPECT_EQ(by_count.names, Names{u"Фото 2020"});

    BrokenNameList list;
    walked.clear();
    scan_directory_either_way(tree.root(), list, walked);
    ASSERT_EQ(list.count(), 3);
    const auto folder = std::find(list.names.begin(), list.names.end(), u"папка");
    const auto inside = std::find(list.names.begin(), list.names.end(), u"конфиги.txt");
    ASSERT_NE(folder, list.names.end());
    ASSERT_NE(inside, list.names.end());
    EXPECT_LT(folder, inside);
    EXPECT_EQ(list.paths[static_cast<std::size_t>(inside - list.names.begin())],
              tree.path(u"яряър/ъюэЇшуш.txt"));

    // Walked already: not again.
    BrokenNameList again;
    scan_directory_either_way(tree.root(), again, walked);
    EXPECT_TRUE(again.empty());

    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 3);
    EXPECT_EQ(counts.errors, 0);
    EXPECT_EQ(tree.names_in(), (Names{u"Документы.txt", u"Фото 2020", u"папка"}));
    EXPECT_EQ(tree.names_in(u"папка"), (Names{u"readme.txt", u"конфиги.txt"}));
}

}  // namespace
}  // namespace tavrik
