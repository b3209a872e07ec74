// Under Wine a Unix symbolic link is no reparse point once opened: Wine follows it, even when
// the link itself is asked for. The walks of `names` and of the check-system must still never
// leave the tree they were given, and scripts/run.sh runs the window under Wine, so this is a
// path of our own. The trees, with their links, are made on the Linux side before the suite by
// make_link_trees.sh (TAVRIK_LINK_TREES); run it again before running these tests again, as
// they rename.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "names/folder_scan.hpp"
#include "names/tree_walk.hpp"
#include "platform/known_folders.hpp"

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
        const std::wstring path(made);
        root_.assign(path.begin(), path.end());
        std::replace(root_.begin(), root_.end(), u'/', u'\\');
        outside_before_ = outside();
        ASSERT_EQ(outside_before_.size(), 3u);
    }
    std::u16string path(std::u16string_view relative) const {
        return root_ + u"\\" + std::u16string(relative);
    }
    // Every name under the folder outside the trees, as relative paths.
    std::set<std::u16string> outside() const {
        std::set<std::u16string> names;
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(path(u"outside")))) {
            names.insert(entry.path().lexically_relative(fs::path(path(u"outside"))).u16string());
        }
        return names;
    }
    // Checks that the list holds `expected` (sorted: the listing's order is the file system's),
    // renames it, and checks that nothing outside was renamed; `refused` of them are links.
    void expect_only(const BrokenNameList& list, const std::vector<std::u16string>& expected,
                     int refused = 0) {
        std::vector<std::u16string> listed = list.paths;
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, expected);
        const RenameCounts counts = rename_broken_names(list);
        EXPECT_EQ(counts.fixed, static_cast<int>(expected.size()) - refused);
        EXPECT_EQ(counts.errors, refused);
        EXPECT_EQ(outside(), outside_before_);
    }

    std::u16string root_;
    std::set<std::u16string> outside_before_;
};

// Links to a folder outside, a deep one, one that closes a cycle, one with a garbled name: that
// one is listed, and its rename fails rather than move the folder it leads to.
TEST_F(UnixLinks, NamedTreeIsWalkedWithoutFollowingThem) {
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(path(u"named"), list, walked);
    expect_only(list, {path(u"named\\”®в® 2020"), path(u"named\\”®в® link")}, 1);
    EXPECT_TRUE(fs::exists(fs::path(path(u"named\\Фото 2020"))));
    EXPECT_TRUE(fs::exists(fs::path(path(u"named\\”®в® link"))));  // the link, as it was
    EXPECT_FALSE(fs::exists(fs::path(path(u"named\\Фото link"))));
}

// Wine's known folders are links into $HOME: the folder's own tree is walked, none below.
TEST_F(UnixLinks, KnownFolderThatIsALinkIsWalkedWithoutFollowingTheLinksInIt) {
    const platform::KnownFolderOverride known(
        {path(u"known"), std::nullopt, std::nullopt, std::nullopt, std::nullopt});
    BrokenNameList list;
    scan_known_folders(list);
    expect_only(list, {path(u"known\\”®в® 2020")});
    EXPECT_TRUE(fs::exists(fs::path(path(u"known_target\\Фото 2020"))));
}

// Beneath the listing: a link opened as a subdirectory, whatever the listing said of it (it may
// have become a link since), is not opened; renamed, it would take its target along under Wine,
// so it is not renamed.
TEST_F(UnixLinks, LinkIsNeitherOpenedAsASubdirectoryNorRenamed) {
    const std::pair<const char16_t*, const char16_t*> links[] = {{u"named", u"link"},
                                                                 {u"named\\a\\b\\c", u"deep"},
                                                                 {u"named\\a", u"cycle"},
                                                                 {u"named", u"”®в® link"},
                                                                 {u"known_target", u"link"}};
    for (const auto& [folder, name] : links) {
        const platform::Directory directory = platform::Directory::open(path(folder));
        ASSERT_TRUE(directory.is_open());
        EXPECT_FALSE(directory.open_subdirectory(name).is_open()) << fs::path(name).string();
        EXPECT_FALSE(directory.rename(name, u"renamed")) << fs::path(name).string();
        EXPECT_EQ(outside(), outside_before_);
    }
    EXPECT_TRUE(platform::Directory::open(path(u"named")).open_subdirectory(u"a").is_open());
}

}  // namespace
}  // namespace tavrik
