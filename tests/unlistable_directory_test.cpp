// A subdirectory that opens but cannot be listed (read permission without search permission):
// the tree repair goes on past it and counts exactly what it renamed. Linux only: it needs
// permissions that bind, so as root it runs in a child process as an unprivileged user.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "names/directory_repair.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/posix_helpers.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

constexpr uid_t NOBODY = 65534;

TEST(UnlistableDirectory, TheRepairGoesOnPastItAndCountsWhatItRenamed) {
    const platform::SystemCodePageOverride russian{1251, 866};
    test::TempTree tree;
    const std::u16string sub = test::shown_in_ansi(u"Фото");
    tree.make_directory(u"top");
    tree.make_directory(u"top/" + sub);
    tree.make_file(u"top/" + sub + u"/" + test::shown_in_ansi(u"Море.jpg"));
    tree.make_file(u"top/" + test::shown_in_ansi(u"Лес.jpg"));
    const std::filesystem::path top = std::filesystem::path(tree.path(u"top"));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chmod(top.parent_path().c_str(), 0755), 0);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
            ASSERT_EQ(lchown(entry.path().c_str(), NOBODY, NOBODY), 0);
        }
        ASSERT_EQ(lchown(top.c_str(), NOBODY, NOBODY), 0);
    }
    ASSERT_EQ(chmod((top / std::filesystem::path(sub)).c_str(), 0444), 0);  // read, no search

    const test::ChildEnd end = test::run_in_child([&] {
        if (root && (setgid(NOBODY) != 0 || setuid(NOBODY) != 0)) return 100;
        return repair_names_in_directory(tree.path(u"top"), 1);
    });
    ASSERT_TRUE(end.exited) << "stopped by signal " << end.signal;
    // The file beside it and the directory itself are renamed; what it holds cannot be reached.
    EXPECT_EQ(end.code, 2);
    EXPECT_TRUE(tree.exists(u"top/Лес.jpg"));
    EXPECT_TRUE(tree.exists(u"top/Фото"));
    chmod((top / "Фото").c_str(), 0755);  // so that the tree can be removed
}

}  // namespace
}  // namespace tavrik
