// The walk and the renames stay inside the tree they were given, however the tree is changed
// between listing and renaming, and reach as deep as the tree goes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "names/directory_repair.hpp"
#include "names/folder_scan.hpp"
#include "names/name_repair.hpp"
#include "names/tree_walk.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/directory_link.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

namespace fs = std::filesystem;
using test::shown_in_ansi;
using Names = std::vector<std::u16string>;

// tree/sub holds a garbled file; elsewhere, outside the tree, holds one of the same name.
class WalkStaysInside : public testing::Test {
  protected:
    WalkStaysInside() {
        tree_.make_directory(u"tree");
        tree_.make_directory(u"tree/sub");
        tree_.make_file(u"tree/sub/" + garbled_, "inside");
        tree_.make_directory(u"elsewhere");
        tree_.make_file(u"elsewhere/" + garbled_, "outside");
    }
    ~WalkStaysInside() override { test::remove_directory_link(native(u"tree/sub")); }
    fs::path native(std::u16string_view relative) const { return fs::path(tree_.path(relative)); }

    // tree/sub moves to tree/moved, and a link to elsewhere takes its place; false when this
    // system cannot make directory links.
    // (On Windows a directory the walk is in is held open and cannot be moved at all.)
    bool swap_for_link() const {
        std::error_code error;
        fs::rename(native(u"tree/sub"), native(u"tree/moved"), error);
        if (error) return false;
        return test::make_directory_link(native(u"elsewhere"), native(u"tree/sub"));
    }
    // tree/sub moves to tree/moved, and a new directory with a garbled file takes its place.
    void swap_for_directory() const {
        fs::rename(native(u"tree/sub"), native(u"tree/moved"));
        tree_.make_directory(u"tree/sub");
        tree_.make_file(u"tree/sub/" + garbled_, "impostor");
    }
    void expect_outside_untouched() const {
        EXPECT_EQ(tree_.names_in(u"elsewhere"), Names{garbled_});
        EXPECT_EQ(tree_.read(u"elsewhere/" + garbled_), "outside");
    }

    platform::SystemCodePageOverride russian_{1251, 866};
    test::TempTree tree_;
    const std::u16string garbled_ = shown_in_ansi(u"Письмо.txt");
};

// Swapped after the tree's listing, before the walk enters tree/sub: the link is not entered.
TEST_F(WalkStaysInside, ALinkSwappedInBeforeEnteringIsNotEntered) {
    bool linked = true;
    bool swapped = false;
    WalkListingHook hook([&](std::u16string_view path) {
        if (path == tree_.path(u"tree") && !swapped) {
            swapped = true;
            linked = swap_for_link();
        }
    });
    const int renamed = repair_names_in_directory(tree_.path(u"tree"), 1);
    if (!linked) GTEST_SKIP() << "this system cannot swap a directory for a link here";
    EXPECT_EQ(renamed, 0);
    expect_outside_untouched();
    EXPECT_EQ(tree_.names_in(u"tree/moved"), Names{garbled_});
}

// Swapped after the walk listed tree/sub, before its entries are renamed: the renames happen in
// the directory listed (now tree/moved), not through the link.
TEST_F(WalkStaysInside, RenamesStayInTheDirectoryListed) {
    bool linked = true;
    bool swapped = false;
    WalkListingHook hook([&](std::u16string_view path) {
        if (path == tree_.path(u"tree/sub") && !swapped) {
            swapped = true;
            linked = swap_for_link();
        }
    });
    const int renamed = repair_names_in_directory(tree_.path(u"tree"), 1);
    if (!linked) GTEST_SKIP() << "this system cannot swap a directory for a link here";
    EXPECT_EQ(renamed, 1);
    expect_outside_untouched();
    EXPECT_EQ(tree_.names_in(u"tree/moved"), Names{u"Письмо.txt"});
}

// The scan does not enter a link swapped in while it walks.
TEST_F(WalkStaysInside, TheScanDoesNotEnterASwappedLink) {
    bool linked = true;
    bool swapped = false;
    WalkListingHook hook([&](std::u16string_view path) {
        if (path == tree_.path(u"tree") && !swapped) {
            swapped = true;
            linked = swap_for_link();
        }
    });
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree_.path(u"tree"), list, walked);
    if (!linked) GTEST_SKIP() << "this system cannot swap a directory for a link here";
    EXPECT_EQ(list.count(), 0);
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 0);
    expect_outside_untouched();
}

// A list kept for later (the window after "No"): a directory on the way swapped for a link
// meanwhile makes the rename an error, and nothing outside the tree changes.
TEST_F(WalkStaysInside, ADeferredRenameDoesNotFollowALinkSwappedInMeanwhile) {
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree_.path(u"tree"), list, walked);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.paths[0], tree_.path(u"tree/sub/" + garbled_));
    if (!swap_for_link()) GTEST_SKIP() << "this system cannot make directory links";
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 0);
    EXPECT_EQ(counts.errors, 1);
    expect_outside_untouched();
    EXPECT_EQ(tree_.names_in(u"tree/moved"), Names{garbled_});
}

// ... and a directory replaced by another one of the same name is not the one walked either.
TEST_F(WalkStaysInside, ADeferredRenameRefusesADirectoryReplacedMeanwhile) {
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree_.path(u"tree"), list, walked);
    ASSERT_EQ(list.count(), 1);
    swap_for_directory();
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 0);
    EXPECT_EQ(counts.errors, 1);
    EXPECT_EQ(tree_.read(u"tree/sub/" + garbled_), "impostor");
    EXPECT_EQ(tree_.names_in(u"tree/moved"), Names{garbled_});
    expect_outside_untouched();
}

// A directory that cannot be read is reported after what could be read.
TEST_F(WalkStaysInside, UnreadableDirectoriesAreReported) {
    tree_.make_file(u"tree/" + shown_in_ansi(u"Заметка.txt"));
    WalkListingHook hook([&](std::u16string_view path) {
        // Gone between the listing and the walk's entering it: it cannot be read.
        if (path == tree_.path(u"tree")) fs::remove_all(native(u"tree/sub"));
    });
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree_.path(u"tree"), list, walked);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.names[0], u"Заметка.txt");
    ASSERT_EQ(list.skipped.size(), 1u);
    EXPECT_EQ(list.skipped[0].reason, SkippedEntry::Reason::unreadable);
    EXPECT_EQ(list.skipped[0].directory, tree_.path(u"tree/sub"));

    BrokenNameList missing;
    scan_directory(tree_.path(u"nowhere"), missing, walked);
    ASSERT_EQ(missing.skipped.size(), 1u);
    EXPECT_EQ(missing.skipped[0].directory, tree_.path(u"nowhere"));
}

#ifndef _WIN32
// A tree deeper than PATH_MAX, made and removed one level at a time (relative to the current
// directory, so that no call sees a long path).
class DeepTree {
  public:
    static constexpr const char* LEVEL = "d123456789";

    DeepTree(const fs::path& root, std::size_t levels) : root_(root), levels_(levels) {
        fs::create_directory(root_);
        const fs::path saved = fs::current_path();
        fs::current_path(root_);
        for (std::size_t i = 0; i < levels_; ++i) {
            fs::create_directory(LEVEL);
            fs::current_path(LEVEL);
        }
        fs::current_path(saved);
    }
    ~DeepTree() {
        const fs::path saved = fs::current_path();
        std::error_code ignored;
        fs::current_path(root_, ignored);
        for (std::size_t i = 0; i < levels_; ++i)
            fs::current_path(LEVEL, ignored);
        for (std::size_t i = 0; i < levels_; ++i) {
            fs::current_path("..", ignored);
            fs::remove_all(LEVEL, ignored);
        }
        fs::current_path(saved, ignored);
        fs::remove_all(root_, ignored);
    }
    // The path, as the walk forms it, of level `depth` (0: the root).
    std::u16string path(std::size_t depth) const {
        std::u16string path = root_.u16string();
        for (std::size_t i = 0; i < depth; ++i)
            path += u"/d123456789";
        return path;
    }
    // Makes a file, or tells whether a name exists, at level `depth`.
    void make_file(std::size_t depth, const std::u16string& name) const {
        at(depth, [&] { std::ofstream(fs::path(name)) << "x"; });
    }
    bool exists(std::size_t depth, const std::u16string& name) const {
        bool found = false;
        at(depth, [&] { found = fs::exists(fs::path(name)); });
        return found;
    }

  private:
    template <class Action>
    void at(std::size_t depth, Action action) const {
        const fs::path saved = fs::current_path();
        fs::current_path(root_);
        for (std::size_t i = 0; i < depth; ++i)
            fs::current_path(LEVEL);
        action();
        fs::current_path(saved);
    }
    fs::path root_;
    std::size_t levels_;
};

class DeepWalk : public testing::Test {
  protected:
    platform::SystemCodePageOverride russian_{1251, 866};
    test::TempTree tree_;
};

// 1,500 levels: about 16,500 bytes of path, four times PATH_MAX. Walked by held directories,
// listed and renamed at every depth.
TEST_F(DeepWalk, BeyondPathMaxIsListedAndRenamed) {
    const DeepTree deep(fs::path(tree_.path(u"deep")), 1500);
    const std::u16string letter = shown_in_ansi(u"Письмо.txt");
    const std::u16string note = shown_in_ansi(u"Заметка.txt");
    deep.make_file(500, letter);   // about 5,500 bytes down
    deep.make_file(1500, letter);  // at the bottom
    ASSERT_GT(deep.path(500).size(), 4096u);

    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(deep.path(0), list, walked);
    ASSERT_EQ(list.count(), 2);
    // (Compared without printing: the paths are 16,500 characters long.)
    const std::set<std::u16string> found(list.paths.begin(), list.paths.end());
    EXPECT_TRUE(found == (std::set<std::u16string>{deep.path(500) + u"/" + letter,
                                                   deep.path(1500) + u"/" + letter}));
    EXPECT_TRUE(list.skipped.empty());
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 2);
    EXPECT_EQ(counts.errors, 0);
    EXPECT_TRUE(deep.exists(500, u"Письмо.txt"));
    EXPECT_TRUE(deep.exists(1500, u"Письмо.txt"));

    deep.make_file(1000, note);
    deep.make_file(1499, note);
    EXPECT_EQ(repair_names_in_directory(deep.path(0), 1), 2);
    EXPECT_TRUE(deep.exists(1000, u"Заметка.txt"));
    EXPECT_TRUE(deep.exists(1499, u"Заметка.txt"));
}

// Paths stay capped at MAX_PATH_UNITS: an entry beyond the cap is reported, and its broken name
// counts as a rename that failed, never silently dropped.
TEST_F(DeepWalk, AnEntryBeyondTheCapIsReported) {
    const std::size_t root_units = tree_.path(u"deep").size();
    const std::size_t levels = (platform::MAX_PATH_UNITS - root_units) / 11;
    const DeepTree deep(fs::path(tree_.path(u"deep")), levels);
    const std::u16string letter = shown_in_ansi(u"Очень длинное письмо.txt");
    deep.make_file(levels, letter);
    ASSERT_LE(deep.path(levels).size(), platform::MAX_PATH_UNITS);
    ASSERT_GT(deep.path(levels).size() + 1 + letter.size(), platform::MAX_PATH_UNITS);

    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(deep.path(0), list, walked);
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(list.skipped.size(), 1u);
    EXPECT_EQ(list.skipped[0].reason, SkippedEntry::Reason::too_long);
    EXPECT_TRUE(list.skipped[0].directory == deep.path(levels));
    EXPECT_TRUE(list.skipped[0].name == letter);
    EXPECT_TRUE(list.skipped[0].broken);
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 0);
    EXPECT_EQ(counts.errors, 1);
    EXPECT_TRUE(deep.exists(levels, letter));  // never renamed under a cut path
}
#endif

}  // namespace
}  // namespace tavrik
