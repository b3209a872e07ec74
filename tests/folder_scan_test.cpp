#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "names/folder_scan.hpp"
#include "platform/file_system.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/directory_link.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using test::shown_in_ansi;
using Names = std::vector<std::u16string>;

// Five known folders in a temporary tree: never the user's own.
class FolderScan : public testing::Test {
  protected:
    FolderScan() {
        for (const char16_t* folder :
             {u"Desktop", u"Documents", u"Music", u"Pictures", u"Videos"}) {
            tree_.make_directory(folder);
        }
    }
    platform::KnownFolderOverride folders(std::array<std::optional<std::u16string>, 5> paths) {
        return platform::KnownFolderOverride(std::move(paths));
    }
    std::array<std::optional<std::u16string>, 5> standard() const {
        return {tree_.path(u"Desktop"), tree_.path(u"Documents"), tree_.path(u"Music"),
                tree_.path(u"Pictures"), tree_.path(u"Videos")};
    }

    platform::SystemCodePageOverride russian_{1251, 866};
    test::TempTree tree_;
};

TEST_F(FolderScan, FindsBrokenNamesInOrderDirectoryFirst) {
    const std::u16string photos = shown_in_ansi(u"Фото");
    tree_.make_file(u"Music/" + shown_in_ansi(u"Песня.mp3"));
    tree_.make_directory(u"Desktop/" + photos);
    tree_.make_file(u"Desktop/" + photos + u"/" + shown_in_ansi(u"Море.jpg"));
    tree_.make_file(u"Desktop/" + photos + u"/" + shown_in_ansi(u"Лес.jpg"));
    tree_.make_directory(u"Documents/Хорошая папка");
    tree_.make_file(u"Documents/Хорошая папка/" + shown_in_ansi(u"Отчёт за 2020.doc"));
    tree_.make_file(u"Videos/Фильм.mkv");
    platform::KnownFolderOverride known(standard());

    BrokenNameList list;
    ASSERT_EQ(scan_known_folders(list), 5);
    EXPECT_EQ(list.paths[0], tree_.path(u"Desktop/" + photos));
    EXPECT_EQ(list.names[0], u"Фото");
    EXPECT_EQ((Names{list.names[1], list.names[2]}) == (Names{u"Море.jpg", u"Лес.jpg"}) ||
                  (Names{list.names[1], list.names[2]}) == (Names{u"Лес.jpg", u"Море.jpg"}),
              true);
    EXPECT_EQ(list.names[3], u"Отчёт за 2020.doc");
    EXPECT_EQ(list.paths[4], tree_.path(u"Music/" + shown_in_ansi(u"Песня.mp3")));

    // One pass repairs the folder and what is inside it: the contents go first.
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 5);
    EXPECT_EQ(counts.errors, 0);
    EXPECT_EQ(tree_.names_in(u"Desktop/Фото"), (Names{u"Лес.jpg", u"Море.jpg"}));
    EXPECT_EQ(tree_.names_in(u"Music"), Names{u"Песня.mp3"});
    BrokenNameList again;
    EXPECT_EQ(scan_known_folders(again), 0);
}

TEST_F(FolderScan, AFolderReachedTwiceIsWalkedOnce) {
    tree_.make_directory(u"Documents/Pictures");
    tree_.make_file(u"Documents/Pictures/" + shown_in_ansi(u"Кот.png"));
    tree_.make_file(u"Desktop/" + shown_in_ansi(u"Заметка.txt"));
    // Documents twice, and Pictures inside Documents.
    platform::KnownFolderOverride known({tree_.path(u"Desktop"), tree_.path(u"Documents"),
                                         tree_.path(u"Documents"),
                                         tree_.path(u"Documents/Pictures"), std::nullopt});
    BrokenNameList list;
    EXPECT_EQ(scan_known_folders(list), 2);
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 2);
    EXPECT_EQ(counts.errors, 0);
}

TEST_F(FolderScan, MissingFoldersAreSkipped) {
    tree_.make_file(u"Videos/" + shown_in_ansi(u"Кино.avi"));
    platform::KnownFolderOverride known(
        {std::nullopt, tree_.path(u"nowhere"), std::nullopt, std::nullopt, tree_.path(u"Videos")});
    BrokenNameList list;
    EXPECT_EQ(scan_known_folders(list), 1);
}

TEST_F(FolderScan, FailedRenamesAreErrorsAndReplaceNothing) {
    tree_.make_file(u"Desktop/" + shown_in_ansi(u"Письмо.txt"), "garbled");
    tree_.make_file(u"Desktop/" + shown_in_ansi(u"Записка.txt"));
    platform::KnownFolderOverride known(standard());
    BrokenNameList list;
    ASSERT_EQ(scan_known_folders(list), 2);
    tree_.make_file(u"Desktop/Письмо.txt", "already there");
    std::filesystem::remove(
        std::filesystem::path(tree_.path(u"Desktop/" + shown_in_ansi(u"Записка.txt"))));
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 0);
    EXPECT_EQ(counts.errors, 2);
    EXPECT_EQ(tree_.read(u"Desktop/Письмо.txt"), "already there");
    EXPECT_EQ(tree_.read(u"Desktop/" + shown_in_ansi(u"Письмо.txt")), "garbled");
}

TEST_F(FolderScan, LinksAreListedButNotWalked) {
    tree_.make_directory(u"Elsewhere");
    tree_.make_file(u"Elsewhere/" + shown_in_ansi(u"Чужой.txt"));
    const std::filesystem::path shortcut(tree_.path(u"Desktop/" + shown_in_ansi(u"Ярлык")));
    const std::filesystem::path loop(tree_.path(u"Desktop/loop"));
    const test::DirectoryLinkRemover remove_shortcut(shortcut), remove_loop(loop);
    if (!test::make_directory_link(std::filesystem::path(tree_.path(u"Elsewhere")), shortcut)) {
        GTEST_SKIP() << "this system cannot make directory links";
    }
    ASSERT_TRUE(test::make_directory_link(std::filesystem::path(tree_.path(u"Desktop")), loop));
    platform::KnownFolderOverride known(standard());
    BrokenNameList list;
    ASSERT_EQ(scan_known_folders(list), 1);
    EXPECT_EQ(list.names[0], u"Ярлык");
}

#ifndef _WIN32
// The XDG user directories: a folder the file names, the usual ones otherwise; none that is
// missing or is the home itself.
TEST_F(FolderScan, XdgUserDirectories) {
    const std::string home = std::filesystem::path(tree_.root()).string();
    const char* saved_home = std::getenv("HOME");
    const std::string previous_home = saved_home ? saved_home : "";
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    tree_.make_directory(u".config");
    tree_.make_directory(u"Музыка");
    std::filesystem::remove(std::filesystem::path(tree_.path(u"Pictures")));
    tree_.make_file(u".config/user-dirs.dirs",
                    "# comment\nXDG_MUSIC_DIR=\"$HOME/Музыка\"\nXDG_VIDEOS_DIR=\"$HOME/\"\n");
    EXPECT_EQ(platform::known_folder_path(platform::KnownFolder::desktop), tree_.path(u"Desktop"));
    EXPECT_EQ(platform::known_folder_path(platform::KnownFolder::documents),
              tree_.path(u"Documents"));
    EXPECT_EQ(platform::known_folder_path(platform::KnownFolder::music), tree_.path(u"Музыка"));
    EXPECT_EQ(platform::known_folder_path(platform::KnownFolder::pictures), std::nullopt);
    EXPECT_EQ(platform::known_folder_path(platform::KnownFolder::videos), std::nullopt);
    if (saved_home) ::setenv("HOME", previous_home.c_str(), 1);
}
#endif

}  // namespace
}  // namespace tavrik
