#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "names/name_repair.hpp"
#include "platform/file_system.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

// "Фото 2020" written in OEM (866) and read in ANSI (1251), and the other way round.
const std::u16string FOTO_SHOWN_IN_ANSI = u"\u201D\u00AE\u0432\u00AE 2020";
const std::u16string FOTO_SHOWN_IN_OEM = u"\u2558\u044E\u0404\u044E 2020";
const std::u16string FOTO = u"Фото 2020";

std::u16string in_directory(std::u16string_view name) {
    std::u16string path = u"C:";
    path += platform::PATH_SEPARATOR;
    path += u"dir";
    path += platform::PATH_SEPARATOR;
    return path + std::u16string(name);
}

std::u16string repaired(std::u16string_view path) {
    std::u16string out = u"untouched";
    if (repair_name(path, out) == 0) {
        EXPECT_EQ(out, u"untouched");
        return {};
    }
    return out;
}

TEST(ScoreName, CyrillicBlockAsciiAndTheRest) {
    EXPECT_EQ(score_name(FOTO), 17);
    EXPECT_EQ(score_name(u"??\u045E? 2020"), 11);
    EXPECT_EQ(score_name(u"?\u25A0\u043A\u25A0 2020"), 9);
    EXPECT_EQ(score_name(u"\u0500\u00E9\u007F\u001F"), 1);  // U+0500 is outside the block
    EXPECT_EQ(score_name(u""), 0);
}

TEST(RepairName, NamesGarbledBetweenAnsiAndOem) {
    platform::SystemCodePageOverride russian(1251, 866);
    EXPECT_EQ(repaired(in_directory(FOTO_SHOWN_IN_ANSI)), FOTO);  // candidate A
    EXPECT_EQ(repaired(in_directory(FOTO_SHOWN_IN_OEM)), FOTO);   // candidate B
    EXPECT_EQ(repaired(FOTO_SHOWN_IN_ANSI), FOTO);                // a bare name
}

TEST(RepairName, GoodNamesStay) {
    platform::SystemCodePageOverride russian(1251, 866);
    // "Отчёт" shown through the code pages the other way: as Cyrillic as the name itself.
    EXPECT_EQ(repaired(in_directory(u"\u040B\u0432\u0437\u0441\u0432")), u"");
    for (const std::u16string_view name :
         {u"Отчёт", u"Документы", u"readme.txt", u"Фото 2020.jpg"}) {
        EXPECT_EQ(repaired(in_directory(name)), u"") << std::filesystem::path(name).string();
    }
    std::u16string ends_in_separator = in_directory(u"");
    EXPECT_EQ(repaired(ends_in_separator), u"");
}

TEST(RepairName, NeverLosesACharacter) {
    platform::SystemCodePageOverride russian(1251, 866);
    // An emoji and an accented letter exist in neither code page: a repair would drop them.
    EXPECT_EQ(repaired(in_directory(FOTO_SHOWN_IN_ANSI + u" \U0001F600")), u"");
    EXPECT_EQ(repaired(in_directory(FOTO_SHOWN_IN_ANSI + u" caf\u00E9")), u"");
}

TEST(RepairName, OtherSystemCodePagesRepairNothingRussian) {
    platform::SystemCodePageOverride western(1252, 437);
    EXPECT_EQ(repaired(in_directory(FOTO_SHOWN_IN_ANSI)), u"");
    EXPECT_EQ(repaired(in_directory(FOTO_SHOWN_IN_OEM)), u"");
}

// An ASCII name is passed over only where both pages keep ASCII, and reads the same by the
// readings the rules share as by each rule alone.
TEST(RepairName, AsciiKeptOnlyByPagesThatKeepIt) {
    struct Case {
        std::uint32_t ansi, oem;
        bool keep;
    };
    const Case cases[] = {{1251, 866, true},
                          {1252, 437, true},
                          {1251, 20866, true},
                          {1251, 12345, false},
                          {12345, 866, false}};
    for (const auto& [ansi, oem, keep] : cases) {
        platform::SystemCodePageOverride pages(ansi, oem);
        EXPECT_EQ(system_pages_keep_ascii(), keep) << ansi << " " << oem;
        std::u16string out = u"untouched";
        EXPECT_EQ(repair_name(u"report_2020.txt", out), 0);
        EXPECT_EQ(out, u"untouched");
    }
    platform::SystemCodePageOverride russian(1251, 866);
    for (const std::u16string name : {u"╘юЄю 2020.jpg", u"Фото 2020.jpg", u"\x8F\x90"}) {
        std::u16string alone, shared;
        EXPECT_EQ(repair_name(name, alone),
                  repair_name_from(name, read_in_system_pages(name), shared));
        EXPECT_EQ(alone, shared);
    }
}

TEST(RepairName, OnlyThePlatformSeparatorSeparates) {
    platform::SystemCodePageOverride russian(1251, 866);
#ifdef _WIN32
    // A slash is part of the name; the repair would put a separator into it, so there is none.
    EXPECT_EQ(name_of(u"a/b"), u"a/b");
    EXPECT_EQ(repaired(u"C:\\x/" + FOTO_SHOWN_IN_ANSI), u"");
#else
    EXPECT_EQ(name_of(u"a\\b"), u"a\\b");
    EXPECT_EQ(repaired(u"/x\\" + FOTO_SHOWN_IN_ANSI), u"");
#endif
}

class RenameIfBroken : public testing::Test {
  protected:
    platform::SystemCodePageOverride russian_{1251, 866};
    test::TempTree tree_;
};

TEST_F(RenameIfBroken, RenamesInPlace) {
    tree_.make_file(FOTO_SHOWN_IN_ANSI, "photo");
    EXPECT_EQ(rename_if_broken(tree_.path(FOTO_SHOWN_IN_ANSI)), 1);
    EXPECT_EQ(tree_.names_in(), std::vector<std::u16string>{FOTO});
    EXPECT_EQ(tree_.read(FOTO), "photo");
    EXPECT_EQ(rename_if_broken(tree_.path(FOTO)), 0);
}

TEST_F(RenameIfBroken, NeverReplacesAnExistingEntry) {
    tree_.make_file(FOTO_SHOWN_IN_ANSI, "garbled");
    tree_.make_file(FOTO, "original");
    EXPECT_EQ(rename_if_broken(tree_.path(FOTO_SHOWN_IN_ANSI)), 0);
    EXPECT_EQ(tree_.read(FOTO_SHOWN_IN_ANSI), "garbled");
    EXPECT_EQ(tree_.read(FOTO), "original");
    // Not even a directory over a file.
    tree_.make_directory(FOTO_SHOWN_IN_OEM);
    EXPECT_EQ(rename_if_broken(tree_.path(FOTO_SHOWN_IN_OEM)), 0);
    EXPECT_EQ(tree_.read(FOTO), "original");
}

TEST_F(RenameIfBroken, VanishedEntryOrCutPath) {
    EXPECT_EQ(rename_if_broken(tree_.path(FOTO_SHOWN_IN_ANSI)), 0);
    EXPECT_TRUE(tree_.names_in().empty());
    // A directory part so long that the new path would not fit is never used.
    std::u16string long_path(platform::MAX_PATH_UNITS - 3, u'd');
    long_path += platform::PATH_SEPARATOR;
    long_path += FOTO_SHOWN_IN_ANSI;
    EXPECT_EQ(rename_if_broken(long_path), 0);
}

TEST_F(RenameIfBroken, BareNameIsRelativeToTheCurrentDirectory) {
    tree_.make_file(FOTO_SHOWN_IN_OEM);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(tree_.root()));
    const int result = rename_if_broken(FOTO_SHOWN_IN_OEM);
    std::filesystem::current_path(previous);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(tree_.names_in(), std::vector<std::u16string>{FOTO});
}

}  // namespace
}  // namespace tavrik
