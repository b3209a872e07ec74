// Names garbled in each of the common ways are repaired exactly by the readings, in the walk
// `names` and the window's check-system use; right names of every kind, accented Latin ones
// among them, stay.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "encoding/raw_names.hpp"
#include "encoding/text_pages.hpp"
#include "encoding/utf8.hpp"
#include "names/folder_scan.hpp"
#include "names/name_readings.hpp"
#include "names/name_repair.hpp"
#include "platform/known_folders.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/temp_tree.hpp"

namespace tavrik {
namespace {

using encoding::TextPage;

std::string shown(std::u16string_view text) {
    std::string out;
    encoding::utf8::encode_lenient(text, out);
    return out;
}

std::u16string utf16(std::u32string_view text) {
    std::string bytes = encoding::utf8_of(text);
    std::u16string out;
    encoding::utf8::decode_strict(bytes, out);
    return out;
}

// `name` written in `source` and shown in `shown_in`.
std::u16string garbled(std::u16string_view name, TextPage source, TextPage shown_in) {
    std::u32string text = encoding::code_points_of(shown(name)), out;
    if (!encoding::reread_text(source, shown_in, text, out)) return {};  // «№» has no KOI8-R byte
    return utf16(out);
}

struct Garbling {
    TextPage source;
    TextPage shown_in;
};

const Garbling EVERY_GARBLING[] = {
    {TextPage::utf8, TextPage::cp866},    {TextPage::utf8, TextPage::cp437},
    {TextPage::utf8, TextPage::cp850},    {TextPage::utf8, TextPage::win1251},
    {TextPage::utf8, TextPage::cp1252},   {TextPage::cp1251, TextPage::cp1252},
    {TextPage::cp1251, TextPage::latin1}, {TextPage::cp1251, TextPage::cp866},
    {TextPage::cp866, TextPage::win1251}, {TextPage::cp866, TextPage::cp437},
    {TextPage::cp866, TextPage::cp850},   {TextPage::koi8r, TextPage::win1251},
    {TextPage::koi8r, TextPage::latin1},
};

const std::u16string RUSSIAN_NAMES[] = {
    u"Привет.txt",
    u"санузел4_свердлова 48_.zip",
    u"папка",
    u"Отчёт за март 2024.docx",
    u"Фото с дачи.jpg",
    u"Договор аренды №15.pdf",
    u"ПРИКАЗ О ПРИЁМЕ.doc",
    u"шаблоны писем",
    u"Мои документы",
};

// The issue's own examples, as they stand on disk.
struct SeenName {
    std::u16string on_disk;
    std::u16string repaired;
};
const SeenName SEEN_NAMES[] = {
    {u"ЏаЁўҐв.txt", u"Привет.txt"},
    {u"яряър", u"папка"},
    {u"╤Б╨░╨╜╤Г╨╖╨╡╨╗4_╤Б╨▓╨╡╤А╨┤╨╗╨╛╨▓╨░ 48_.zip", u"санузел4_свердлова 48_.zip"},
    {u"╤ü╨░╨╜╤â╨╖╨╡╨╗4_╤ü╨▓╨╡╤Ç╨┤╨╗╨╛╨▓╨░ 48_.zip", u"санузел4_свердлова 48_.zip"},
    {u"РџСЂРёРІРµС‚.txt", u"Привет.txt"},
    {u"Ïðèâåò.mp3", u"Привет.mp3"},
    {u"рТЙЧЕФ.doc", u"Привет.doc"},
};

// Right names of every kind: none may be renamed.
const std::u16string RIGHT_NAMES[] = {
    u"Café.txt",
    u"Ångström.pdf",
    u"naïve",
    u"Straße",
    u"Crème brûlée.doc",
    u"Ærø.jpg",
    u"Ñandú.mp3",
    u"Zürich 2020",
    u"Привет.txt",
    u"список дел — март.txt",
    u"план «на завтра».txt",
    u"робота — план.txt",
    u"Їжак і ґудзик.txt",
    u"Јован — љубав.txt",
    u"съвет — «отговор».doc",
    // Each of these was taken for garbled by a reading before its guard: a letter of another
    // alphabet in the repair, capitals from small letters, a word cased as nobody writes.
    u"Ачэх",
    u"Утрэхт",
    u"Херэфардшыр",
    u"холма",
    u"пуйо-пекче",
    u"мадхі-мадхі",
    u"Чефчауен",
    u"Privet mir.txt",
    u"ёлка.jpg",
    u"Беларуская мова.txt",
    u"Ёжик в тумане.avi",
};

class NameReadings : public testing::TestWithParam<std::pair<std::uint32_t, std::uint32_t>> {
  protected:
    platform::SystemCodePageOverride pages_{GetParam().first, GetParam().second};
};

TEST_P(NameReadings, EveryGarblingRepairsExactly) {
    for (const Garbling& way : EVERY_GARBLING) {
        for (const std::u16string& name : RUSSIAN_NAMES) {
            const std::u16string on_disk = garbled(name, way.source, way.shown_in);
            if (on_disk.empty() || on_disk == name) continue;
            std::u16string out;
            EXPECT_EQ(repair_name_every_way(on_disk, out), 1) << shown(on_disk);
            EXPECT_EQ(out, name) << shown(on_disk) << " -> " << shown(out) << " via "
                                 << encoding::text_page_name(way.source) << " in "
                                 << encoding::text_page_name(way.shown_in);
        }
    }
}

TEST_P(NameReadings, NamesAsSeenRepairExactly) {
    for (const auto& [on_disk, repaired] : SEEN_NAMES) {
        std::u16string out;
        EXPECT_EQ(repair_name_every_way(on_disk, out), 1) << shown(on_disk);
        EXPECT_EQ(out, repaired) << shown(on_disk) << " -> " << shown(out);
    }
}

TEST_P(NameReadings, RightNamesStay) {
    for (const std::u16string& name : RIGHT_NAMES) {
        std::u16string out;
        EXPECT_EQ(repair_name_by_readings(name, out), 0) << shown(name) << " -> " << shown(out);
        EXPECT_EQ(repair_name_every_way(name, out), 0) << shown(name) << " -> " << shown(out);
    }
}

// The walk of `names` and of check-system finds them all and renames them exactly.
TEST_P(NameReadings, WalkFindsAndRenamesThem) {
    test::TempTree tree;
    std::vector<std::u16string> expected;
    for (const std::u16string& name : RIGHT_NAMES) {
        tree.make_file(name);
        expected.push_back(name);
    }
    tree.make_directory(u"seen");
    std::vector<std::u16string> repaired;
    for (const auto& [on_disk, right] : SEEN_NAMES) {
        if (std::find(repaired.begin(), repaired.end(), right) != repaired.end()) continue;
        tree.make_file(u"seen/" + on_disk);
        repaired.push_back(right);
    }
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree.root(), list, walked, repair_name_every_way);
    EXPECT_EQ(list.count(), static_cast<int>(repaired.size()));
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, static_cast<int>(repaired.size()));
    EXPECT_EQ(counts.errors, 0);
    std::sort(repaired.begin(), repaired.end());
    EXPECT_EQ(tree.names_in(u"seen"), repaired);
    expected.push_back(u"seen");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree.names_in(), expected);
}

// Check-system's walk of the known folders: the zip name as Explorer shows it on a Russian
// Windows (866) and on a Western one (437), one in each of two folders, both repaired exactly.
TEST_P(NameReadings, CheckSystemRepairsTheZipNameBothWays) {
    test::TempTree tree;
    tree.make_directory(u"Desktop");
    tree.make_directory(u"Documents");
    tree.make_file(u"Desktop/╤Б╨░╨╜╤Г╨╖╨╡╨╗4_╤Б╨▓╨╡╤А╨┤╨╗╨╛╨▓╨░ 48_.zip");
    tree.make_file(u"Documents/╤ü╨░╨╜╤â╨╖╨╡╨╗4_╤ü╨▓╨╡╤Ç╨┤╨╗╨╛╨▓╨░ 48_.zip");
    const platform::KnownFolderOverride known(
        {tree.path(u"Desktop"), tree.path(u"Documents"), std::nullopt, std::nullopt, std::nullopt});
    BrokenNameList list;
    ASSERT_EQ(scan_known_folders(list), 2);
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 2);
    EXPECT_EQ(counts.errors, 0);
    const std::vector<std::u16string> zip = {u"санузел4_свердлова 48_.zip"};
    EXPECT_EQ(tree.names_in(u"Desktop"), zip);
    EXPECT_EQ(tree.names_in(u"Documents"), zip);
}

#ifndef _WIN32
// POSIX names that are not UTF-8: a folder named in 1251 holding names in 1251, 866 and KOI8-R
// is walked, renamed to UTF-8 with its content (children first); a Latin-1 «Café» is left as
// it is and counted.
TEST_P(NameReadings, NamesNotInUtf8) {
    test::TempTree tree;
    const std::filesystem::path root(tree.root());
    const std::filesystem::path folder = root / std::string("\xCF\xE0\xEF\xEA\xE0");  // Папка
    std::filesystem::create_directory(folder);
    const std::string inside[] = {
        "\xCE\xF2\xF7\xE5\xF2 \xE7\xE0 \xEC\xE0\xF0\xF2.doc",  // Отчет за март, 1251
        "\x8F\xE0\xA8\xA2\xA5\xE2.txt",                        // Привет, 866
        "\xF3\xD0\xC9\xD3\xCF\xCB.txt",                        // Список, KOI8-R
        "Caf\xE9.txt",                                         // Latin-1
    };
    for (const std::string& name : inside)
        std::ofstream(folder / name) << "x";
    BrokenNameList list;
    std::set<platform::DirectoryIdentity> walked;
    scan_directory(tree.root(), list, walked, repair_name_every_way);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.names[0], u"Папка");  // a directory before its contents
    EXPECT_EQ(list.kept_not_utf8, 1);
    const RenameCounts counts = rename_broken_names(list);
    EXPECT_EQ(counts.fixed, 4);
    EXPECT_EQ(counts.errors, 0);
    EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"Папка"});
    const std::vector<std::u16string> expected = {u"Caf\xDCE9.txt", u"Отчет за март.doc",
                                                  u"Привет.txt", u"Список.txt"};
    std::vector<std::u16string> found;
    for (const auto& entry : std::filesystem::directory_iterator(root / "Папка"))
        found.push_back(encoding::decode_keeping_bytes(entry.path().filename().string()));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(std::filesystem::exists(root / "Папка" / std::string("Caf\xE9.txt")));
}
#endif

// Russian Windows (1251 and 866), and a Western one (1252 and 437): the readings do not depend
// on the system's pages.
INSTANTIATE_TEST_SUITE_P(SystemPages, NameReadings,
                         testing::Values(std::pair<std::uint32_t, std::uint32_t>{1251, 866},
                                         std::pair<std::uint32_t, std::uint32_t>{1252, 437}));

}  // namespace
}  // namespace tavrik
