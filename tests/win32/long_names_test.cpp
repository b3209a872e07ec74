// Names Win32 path parsing would change (a trailing dot or space) and paths longer than MAX_PATH:
// each entry is addressed exactly, through the \\?\ form of its full path.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "names/directory_repair.hpp"
#include "names/folder_scan.hpp"
#include "names/name_repair.hpp"
#include "platform/files.hpp"
#include "platform/system_code_pages.hpp"
#include "platform/win32/long_path.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using test::shown_in_ansi;

class ExactNames : public testing::Test {
  protected:
    std::u16string path(std::u16string_view relative) const { return tree_.path(relative); }
    void make_file(std::u16string_view relative, const std::string& contents) const {
        const HANDLE file =
            CreateFileW(platform::win32::long_path_wide(path(relative)).c_str(), GENERIC_WRITE, 0,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(file);
    }
    void make_directory(std::u16string_view relative) const {
        ASSERT_TRUE(
            CreateDirectoryW(platform::win32::long_path_wide(path(relative)).c_str(), nullptr));
    }
    // The contents of a file, or "(missing)".
    std::string read(std::u16string_view relative) const {
        const HANDLE file =
            CreateFileW(platform::win32::long_path_wide(path(relative)).c_str(), GENERIC_READ,
                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "(missing)";
        char buffer[64] = {};
        DWORD got = 0;
        ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(file);
        return std::string(buffer, got);
    }
    // Removes what TempTree's own clean-up cannot reach.
    void remove_file(std::u16string_view relative) const {
        DeleteFileW(platform::win32::long_path_wide(path(relative)).c_str());
    }

    platform::SystemCodePageOverride russian_{1251, 866};
    test::TempTree tree_;
    const std::u16string garbled_ = shown_in_ansi(u"Фото");
};

// "G" and "G." side by side are two entries: each is renamed to its own repaired name, with its
// own contents, and renaming "G." never touches "G".
TEST_F(ExactNames, ATrailingDotOrSpaceIsPartOfTheName) {
    make_file(garbled_, "plain");
    make_file(garbled_ + u".", "dot");
    make_file(garbled_ + u" ", "space");
    EXPECT_EQ(rename_if_broken(path(garbled_ + u".")), 1);
    EXPECT_EQ(read(garbled_), "plain");
    EXPECT_EQ(read(u"Фото."), "dot");
    EXPECT_EQ(read(u"Фото"), "(missing)");

    EXPECT_EQ(repair_names_in_directory(tree_.root(), 1), 2);
    EXPECT_EQ(read(u"Фото"), "plain");
    EXPECT_EQ(read(u"Фото "), "space");
    EXPECT_EQ(read(u"Фото."), "dot");
    for (const std::u16string name : {u"Фото", u"Фото.", u"Фото "})
        remove_file(name);
}

TEST_F(ExactNames, TheScanAndTheDeferredRenamesToo) {
    make_directory(u"dir");
    make_file(u"dir\\" + garbled_, "plain");
    make_file(u"dir\\" + garbled_ + u".", "dot");
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(path(u"dir"), list, walked);
    ASSERT_EQ(list.count(), 2);
    const std::set<std::u16string> found(list.paths.begin(), list.paths.end());
    EXPECT_EQ(found, (std::set<std::u16string>{path(u"dir\\" + garbled_),
                                               path(u"dir\\" + garbled_ + u".")}));
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 2);
    EXPECT_EQ(counts.errors, 0);
    EXPECT_EQ(read(u"dir\\Фото"), "plain");
    EXPECT_EQ(read(u"dir\\Фото."), "dot");
    remove_file(u"dir\\Фото.");
}

// Opening and saving address the same exact entries: "X." is read and written as itself, never
// as "X", and a file deeper than MAX_PATH is read and written too.
TEST_F(ExactNames, OpenAndSaveToo) {
    make_file(u"X", "plain");
    make_file(u"X.", "dot");
    const auto dot = platform::read_file_prefix(path(u"X."), 64);
    ASSERT_TRUE(dot.has_value());
    EXPECT_EQ(dot->bytes, "dot");
    ASSERT_TRUE(platform::write_file_replacing(path(u"X "), "space"));
    ASSERT_TRUE(platform::write_file_replacing(path(u"X."), "dot, saved"));
    EXPECT_EQ(read(u"X"), "plain");
    EXPECT_EQ(read(u"X."), "dot, saved");
    EXPECT_EQ(read(u"X "), "space");

    std::u16string relative = u"deep";
    make_directory(relative);
    for (int i = 0; i < 5; ++i) {
        relative += u"\\" + std::u16string(60, u'd');
        make_directory(relative);
    }
    const std::u16string deep = relative + u"\\letter.txt.";
    ASSERT_GT(path(deep).size(), 300u);
    ASSERT_TRUE(platform::write_file_replacing(path(deep), "far"));
    const auto deep_file = platform::read_file_prefix(path(deep), 64);
    ASSERT_TRUE(deep_file.has_value());
    EXPECT_EQ(deep_file->bytes, "far");
    for (const std::u16string& name : {std::u16string(u"X."), std::u16string(u"X "), deep})
        remove_file(name);
}

// A path of more than 300 characters is walked and renamed.
TEST_F(ExactNames, PathsLongerThanMaxPath) {
    const std::u16string level(60, u'd');
    std::u16string relative = u"long";
    make_directory(relative);
    for (int i = 0; i < 6; ++i) {
        relative += u"\\" + level;
        make_directory(relative);
    }
    make_file(relative + u"\\" + garbled_ + u".txt", "deep");
    ASSERT_GT(path(relative).size(), 300u);

    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(path(u"long"), list, walked);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.paths[0], path(relative + u"\\" + garbled_ + u".txt"));
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 1);
    EXPECT_EQ(read(relative + u"\\Фото.txt"), "deep");

    make_file(relative + u"\\" + garbled_, "again");
    EXPECT_EQ(repair_names_in_directory(path(u"long"), 1), 1);
    EXPECT_EQ(read(relative + u"\\Фото"), "again");

    remove_file(relative + u"\\Фото.txt");
    remove_file(relative + u"\\Фото");
    for (int i = 0; i < 6; ++i) {
        RemoveDirectoryW(platform::win32::long_path_wide(path(relative)).c_str());
        relative.resize(relative.size() - level.size() - 1);
    }
}

}  // namespace
}  // namespace tavrik
