#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "names/directory_repair.hpp"
#include "names/name_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/directory_link.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using Names = std::vector<std::u16string>;

using test::shown_in_ansi;

class RepairNamesInDirectory : public testing::Test {
  protected:
    void SetUp() override {
        // A broken folder holding two broken files and a good one.
        tree_.make_directory(broken(u"Фото"));
        tree_.make_file(broken(u"Фото") + u"/" + broken(u"Море.jpg"), "sea");
        tree_.make_file(broken(u"Фото") + u"/" + broken(u"Лес.jpg"), "forest");
        tree_.make_file(broken(u"Фото") + u"/notes.txt");
    }
    static std::u16string broken(std::u16string_view real) { return shown_in_ansi(real); }

    platform::SystemCodePageOverride russian_{1251, 866};
    test::TempTree tree_;
};

TEST_F(RepairNamesInDirectory, ContentsFirstThenTheDirectory) {
    EXPECT_EQ(repair_names_in_directory(tree_.root(), 1), 3);
    EXPECT_EQ(tree_.names_in(), Names{u"Фото"});
    EXPECT_EQ(tree_.names_in(u"Фото"), (Names{u"notes.txt", u"Лес.jpg", u"Море.jpg"}));
    EXPECT_EQ(tree_.read(u"Фото/Море.jpg"), "sea");
    EXPECT_EQ(repair_names_in_directory(tree_.root(), 1), 0);  // nothing left to repair
}

TEST_F(RepairNamesInDirectory, WithoutRecursionOnlyTheTopLevel) {
    EXPECT_EQ(repair_names_in_directory(tree_.root(), 0), 1);
    Names untouched{broken(u"Лес.jpg"), broken(u"Море.jpg"), u"notes.txt"};
    std::sort(untouched.begin(), untouched.end());
    EXPECT_EQ(tree_.names_in(u"Фото"), untouched);
}

TEST_F(RepairNamesInDirectory, NothingToListGivesZero) {
    EXPECT_EQ(repair_names_in_directory(tree_.path(u"missing"), 1), 0);
    EXPECT_EQ(repair_names_in_directory(tree_.path(broken(u"Фото") + u"/notes.txt"), 1), 0);
    tree_.make_directory(u"empty");
    EXPECT_EQ(repair_names_in_directory(tree_.path(u"empty"), 1), 0);
}

TEST_F(RepairNamesInDirectory, TakenNamesStayAsTheyAre) {
    tree_.make_file(u"Фото", "a file in the way");
    EXPECT_EQ(repair_names_in_directory(tree_.root(), 1), 2);  // the two files inside only
    EXPECT_EQ(tree_.read(u"Фото"), "a file in the way");
    EXPECT_EQ(tree_.names_in(broken(u"Фото")), (Names{u"notes.txt", u"Лес.jpg", u"Море.jpg"}));
}

TEST_F(RepairNamesInDirectory, DeepTreesDoNotExhaustTheStack) {
#ifdef _WIN32
    const int depth = 40;  // paths stay within what every Windows file API accepts
#else
    const int depth = 1200;
#endif
    std::u16string relative = u"deep";
    tree_.make_directory(relative);
    for (int i = 0; i < depth; ++i)
        tree_.make_directory(relative += u"/d");
    tree_.make_file(relative + u"/" + broken(u"Дно.txt"));
    EXPECT_EQ(repair_names_in_directory(tree_.path(u"deep"), 1), 1);
    EXPECT_TRUE(tree_.exists(relative + u"/Дно.txt"));
}

TEST_F(RepairNamesInDirectory, LinksAreRenamedButNeverFollowed) {
    // A link back up the tree would make an endless walk; a link out of it would leave it.
    const test::DirectoryLinkRemover remover(std::filesystem::path(tree_.path(u"Ссылка")));
    if (!test::make_directory_link(std::filesystem::path(tree_.root()),
                                   std::filesystem::path(tree_.path(broken(u"Ссылка"))))) {
        GTEST_SKIP() << "this system cannot make directory links";
    }
    EXPECT_EQ(repair_names_in_directory(tree_.root(), 1), 4);
    EXPECT_EQ(tree_.names_in(), (Names{u"Ссылка", u"Фото"}));
}

#ifndef _WIN32
// A folder whose name is not UTF-8 and reads as nothing Russian keeps its name, and what is
// inside it is walked and repaired all the same.
TEST_F(RepairNamesInDirectory, NamesThatAreNotUtf8AreWalked) {
    const auto odd = std::filesystem::path(tree_.root()) / std::string("\xFF\xFE odd");
    std::filesystem::create_directory(odd);
    std::filesystem::create_directory(odd / std::filesystem::path(broken(u"Внутри")));
    EXPECT_EQ(repair_names_in_directory(tree_.root(), 1), 4);
    EXPECT_TRUE(std::filesystem::exists(odd / std::filesystem::path(u"Внутри")));
}
#endif

}  // namespace
}  // namespace tavrik
