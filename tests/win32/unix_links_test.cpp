// Under Wine a Unix symbolic link is no reparse point once opened: Wine follows it, even when the
// link itself is asked for. The walks of `names` and of the check-system (which scripts/run.sh
// runs under Wine) must still never leave their tree. The trees come from make_link_trees.sh,
// run by CTest on the Linux side (TAVRIK_LINK_TREES); run it again before running these again.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "names/folder_scan.hpp"
#include "platform/known_folders.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

class UnixLinks : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t made[1024] = {};
        if (GetEnvironmentVariableW(L"TAVRIK_LINK_TREES", made, 1024) - 1u >= 1023u) {
            GTEST_SKIP() << "TAVRIK_LINK_TREES is not set: run through CTest";
        }
        root_.assign(made, made + wcslen(made));
        std::replace(root_.begin(), root_.end(), u'/', u'\\');
        outside_before_ = outside();
    }
    std::u16string path(std::u16string_view relative) const {
        return root_ + u"\\" + std::u16string(relative);
    }
    // Every name in the folder the links lead to, outside the trees.
    std::set<fs::path> outside() const {
        std::set<fs::path> names;
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(path(u"outside"))))
            names.insert(entry.path());
        return names;
    }

    std::u16string root_;
    std::set<fs::path> outside_before_;
};

// A named tree (links to the folder outside, a deep one, one that closes a cycle, one with a
// garbled name of its own) and a known folder that is itself a link with a link inside, as
// Wine's are. The garbled link is listed; its rename fails rather than move what it leads to.
TEST_F(UnixLinks, WalksListAndRenameNothingOutsideTheirTree) {
    const platform::SystemCodePageOverride russian(1251, 866);  // the names' garbling
    BrokenNameList named, known;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(path(u"named"), named, walked);
    {
        const platform::KnownFolderOverride folders(
            {path(u"known"), std::nullopt, std::nullopt, std::nullopt, std::nullopt});
        scan_known_folders(known);
    }
    std::sort(named.paths.begin(), named.paths.end());  // the file system's order otherwise
    EXPECT_EQ(named.paths, (std::vector{path(u"named\\”®в® 2020"), path(u"named\\”®в® link")}));
    EXPECT_EQ(known.paths, std::vector{path(u"known\\”®в® 2020")});
    const RenameCounts renamed = rename_broken_names(named),
                       renamed_known = rename_broken_names(known);
    EXPECT_EQ(renamed.fixed + renamed_known.fixed, 2);
    EXPECT_EQ(renamed.errors + renamed_known.errors, 1);
    EXPECT_TRUE(fs::exists(fs::path(path(u"known_target\\Фото 2020"))));
    EXPECT_EQ(outside(), outside_before_);
}

// Whatever a listing said (an entry can become a link after it), a link is not opened as a
// subdirectory, and not renamed.
TEST_F(UnixLinks, LinkIsNeitherOpenedAsASubdirectoryNorRenamed) {
    for (const auto& [folder, name] : {std::pair{u"named", u"link"},
                                       {u"named\\a\\b\\c", u"deep"},
                                       {u"named\\a", u"cycle"},
                                       {u"named", u"”®в® link"}}) {
        const platform::Directory directory = platform::Directory::open(path(folder));
        EXPECT_FALSE(directory.open_subdirectory(name).is_open()) << fs::path(name).string();
        EXPECT_FALSE(directory.rename(name, u"renamed")) << fs::path(name).string();
    }
    // Plain ones are, a name ending in a dot too (Wine's final path drops the dot).
    for (const char16_t* plain : {u"a", u"dot."})
        EXPECT_TRUE(platform::Directory::open(path(u"named")).open_subdirectory(plain).is_open());
    EXPECT_EQ(outside(), outside_before_);
}

}  // namespace
}  // namespace tavrik
