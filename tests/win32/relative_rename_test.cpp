// Renames inside a held directory go through its handle: the entry is opened by its name inside
// the directory held open, and renamed relative to that same handle. No existing entry is ever
// replaced, and each entry is addressed exactly (a trailing dot included).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/file_system.hpp"
#include "platform/win32/long_path.hpp"
#include "platform/win32/relative_rename.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using platform::win32::long_path_wide;
using platform::win32::RelativeRename;

class HeldRename : public testing::Test {
  protected:
    std::u16string path(std::u16string_view relative) const { return tree_.path(relative); }
    void make_file(std::u16string_view relative, std::string_view contents) const {
        const HANDLE file = CreateFileW(long_path_wide(path(relative)).c_str(), GENERIC_WRITE, 0,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(file);
    }
    void make_directory(std::u16string_view relative) const {
        ASSERT_TRUE(CreateDirectoryW(long_path_wide(path(relative)).c_str(), nullptr));
    }
    // The contents of a file, "(directory)", or "(missing)".
    std::string read(std::u16string_view relative) const {
        const std::wstring native = long_path_wide(path(relative));
        const DWORD attributes = GetFileAttributesW(native.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return "(missing)";
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "(directory)";
        const HANDLE file = CreateFileW(native.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "(unreadable)";
        char buffer[64] = {};
        DWORD got = 0;
        ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(file);
        return std::string(buffer, got);
    }
    // Removes what TempTree's own clean-up cannot reach (a name ending in a dot).
    void remove_file(std::u16string_view relative) const {
        DeleteFileW(long_path_wide(path(relative)).c_str());
    }

    test::TempTree tree_;
};

// Renaming onto any existing entry fails and changes nothing: a file onto a file or a folder, a
// folder onto a file or a folder, a name onto the same name with a trailing dot or without it.
TEST_F(HeldRename, NeverReplacesAnExistingEntry) {
    make_file(u"file", "file");
    make_file(u"other", "other");
    make_file(u"X", "plain");
    make_file(u"X.", "dot");
    make_directory(u"folder");
    make_directory(u"second");
    const platform::Directory directory = platform::Directory::open(tree_.root());
    ASSERT_TRUE(directory.is_open());
    const struct {
        std::u16string_view from, to;
    } cases[] = {
        {u"file", u"other"},    {u"file", u"folder"}, {u"folder", u"file"},
        {u"folder", u"second"}, {u"X.", u"X"},        {u"X", u"X."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from.begin(), c.from.end()) + " -> " +
                     std::string(c.to.begin(), c.to.end()));
        EXPECT_FALSE(directory.rename(c.from, c.to));
        EXPECT_EQ(read(u"file"), "file");
        EXPECT_EQ(read(u"other"), "other");
        EXPECT_EQ(read(u"X"), "plain");
        EXPECT_EQ(read(u"X."), "dot");
        EXPECT_EQ(read(u"folder"), "(directory)");
        EXPECT_EQ(read(u"second"), "(directory)");
    }
    remove_file(u"X.");
}

// "X." beside "X": each is renamed itself, the other never touched; a missing entry fails.
TEST_F(HeldRename, RenamesTheExactEntry) {
    make_file(u"X", "plain");
    make_file(u"X.", "dot");
    make_directory(u"D.");
    make_directory(u"D");
    const platform::Directory directory = platform::Directory::open(tree_.root());
    ASSERT_TRUE(directory.is_open());

    EXPECT_TRUE(directory.rename(u"X.", u"dot"));
    EXPECT_EQ(read(u"dot"), "dot");
    EXPECT_EQ(read(u"X"), "plain");
    EXPECT_EQ(read(u"X."), "(missing)");

    EXPECT_TRUE(directory.rename(u"X", u"Y."));
    EXPECT_EQ(read(u"Y."), "plain");
    EXPECT_EQ(read(u"X"), "(missing)");

    EXPECT_TRUE(directory.rename(u"D.", u"E"));
    EXPECT_EQ(read(u"E"), "(directory)");
    EXPECT_EQ(read(u"D"), "(directory)");
    EXPECT_EQ(read(u"D."), "(missing)");

    EXPECT_FALSE(directory.rename(u"X", u"Z"));
    EXPECT_EQ(read(u"Z"), "(missing)");
    remove_file(u"Y.");
}

// A directory handle that lets its directory be renamed (the walk's own handles do not).
HANDLE open_movable_directory(const std::wstring& native) {
    return CreateFileW(native.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Wine keeps a directory handle's path, not the directory: there a handle does not follow its
// directory once that was moved.
bool under_wine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The rename goes through the handle (not by path, as where the system cannot): it renames,
// never onto an existing entry, and says why it failed.
TEST_F(HeldRename, GoesThroughTheHandle) {
    make_directory(u"held");
    make_file(u"held\\x", "x");
    make_file(u"held\\z", "z");
    const HANDLE handle = open_movable_directory(long_path_wide(path(u"held")));
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);

    EXPECT_EQ(platform::win32::rename_relative(handle, L"x", L"y"), RelativeRename::renamed);
    EXPECT_EQ(read(u"held\\y"), "x");
    EXPECT_EQ(read(u"held\\x"), "(missing)");

    EXPECT_EQ(platform::win32::rename_relative(handle, L"y", L"z"), RelativeRename::failed);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(read(u"held\\y"), "x");
    EXPECT_EQ(read(u"held\\z"), "z");

    EXPECT_EQ(platform::win32::rename_relative(handle, L"gone", L"w"), RelativeRename::failed);
    EXPECT_EQ(read(u"held\\w"), "(missing)");
    CloseHandle(handle);
}

// The rename goes where the handle leads, not where the directory's old path now leads: after
// the held directory was moved and another made in its place, the entry renamed is the one in
// the held directory, and the one at the old path is left alone.
TEST_F(HeldRename, FollowsTheHandleNotThePath) {
    if (under_wine()) GTEST_SKIP() << "Wine resolves a directory handle by its path";
    make_directory(u"held");
    make_file(u"held\\x", "held");
    const HANDLE handle = open_movable_directory(long_path_wide(path(u"held")));
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(MoveFileExW(long_path_wide(path(u"held")).c_str(),
                            long_path_wide(path(u"moved")).c_str(), 0));
    make_directory(u"held");
    make_file(u"held\\x", "decoy");

    EXPECT_EQ(platform::win32::rename_relative(handle, L"x", L"y"), RelativeRename::renamed);
    EXPECT_EQ(read(u"moved\\y"), "held");
    EXPECT_EQ(read(u"moved\\x"), "(missing)");
    EXPECT_EQ(read(u"held\\x"), "decoy");
    EXPECT_EQ(read(u"held\\y"), "(missing)");
    CloseHandle(handle);
}

}  // namespace
}  // namespace tavrik
