// The walk with a control: what it tells as it goes, and how it stops when cancelled.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "names/folder_scan.hpp"
#include "names/scan_control.hpp"
#include "names/tree_walk.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/broken_names.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using test::shown_in_ansi;

struct Report {
    std::uint64_t entries;
    std::u16string directory;
    friend bool operator==(const Report&, const Report&) = default;
};

class ScanWithControl : public testing::Test {
  protected:
    ScanWithControl() {
        for (const char16_t* folder : {u"Desktop", u"Documents", u"Documents/Большая"})
            tree_.make_directory(folder);
        tree_.make_file(u"Desktop/" + shown_in_ansi(u"Фото.jpg"));
        tree_.make_file(u"Desktop/Заметка.txt");
        for (int i = 0; i < 600; ++i) {
            const std::string digits = std::to_string(i);
            tree_.make_file(u"Documents/Большая/" + std::u16string(digits.begin(), digits.end()));
        }
        tree_.make_file(u"Documents/Большая/" + shown_in_ansi(u"Песня.mp3"));
    }
    platform::KnownFolderOverride known() const {
        return platform::KnownFolderOverride({tree_.path(u"Desktop"), tree_.path(u"Documents"),
                                              std::nullopt, std::nullopt, std::nullopt});
    }

    platform::SystemCodePageOverride russian_{1251, 866};
    test::TempTree tree_;
    std::vector<Report> reports_;
    ScanControl control_{[this](const ScanProgress& progress) {
        reports_.push_back({progress.entries, std::u16string(progress.directory)});
    }};
};

TEST_F(ScanWithControl, ToldEachFolderAndEveryStepWithTheSameResult) {
    const auto folders = known();
    BrokenNameList plain, controlled;
    ASSERT_EQ(scan_known_folders(plain), 2);
    ASSERT_EQ(scan_known_folders(controlled, control_), 2);
    EXPECT_EQ(controlled.paths, plain.paths);
    EXPECT_EQ(controlled.names, plain.names);
    EXPECT_EQ(controlled.places, plain.places);
    EXPECT_FALSE(control_.cancelled());
    // Desktop 2, Documents 1, Большая 601.
    EXPECT_EQ(control_.entries(), 604u);
    const std::u16string big = tree_.path(u"Documents/Большая");
    EXPECT_EQ(reports_, (std::vector<Report>{{0, tree_.path(u"Desktop")},
                                             {2, tree_.path(u"Documents")},
                                             {3, big},
                                             {256, big},
                                             {512, big}}));

    // scan_directory tells the same way.
    reports_.clear();
    ScanControl second([this](const ScanProgress& progress) {
        reports_.push_back({progress.entries, std::u16string(progress.directory)});
    });
    BrokenNameList one;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree_.path(u"Desktop"), one, walked, second);
    EXPECT_EQ(one.count(), 1);
    EXPECT_EQ(reports_, (std::vector<Report>{{0, tree_.path(u"Desktop")}}));
    EXPECT_EQ(second.entries(), 2u);
}

TEST_F(ScanWithControl, CancelledItStopsAndWalksNoFurtherFolder) {
    const auto folders = known();
    struct Case {
        int cancel_at_listing;  // 0: before the walk starts
        int listings;           // how many folders were listed
        int found;
    };
    const Case cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 2, 1}, {3, 3, 1}};
    for (const Case& c : cases) {
        ScanControl control;
        if (c.cancel_at_listing == 0) control.cancel();
        int listings = 0;
        WalkListingHook hook([&](std::u16string_view) {
            if (++listings == c.cancel_at_listing) control.cancel();
        });
        BrokenNameList list;
        EXPECT_EQ(scan_known_folders(list, control), c.found) << c.cancel_at_listing;
        EXPECT_EQ(listings, c.listings) << c.cancel_at_listing;
        EXPECT_TRUE(control.cancelled());
        EXPECT_EQ(list.count(), c.found);
    }
}

}  // namespace
}  // namespace tavrik
