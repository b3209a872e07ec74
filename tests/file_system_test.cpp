// The rules of the file system layer that hold on every platform: which reparse points are links,
// which identities can tell directories apart, and the exact \\?\ form of Windows paths.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/file_system.hpp"
#include "platform/win32/long_path.hpp"

namespace tavrik {
namespace {

// Only name surrogates stand for another entry; cloud files (OneDrive), deduplication and
// compression mark ordinary files and directories, which are walked and repaired as such.
TEST(ReparsePoints, OnlyNameSurrogatesAreLinks) {
    struct Case {
        const char* tag_name;
        std::uint32_t tag;
        bool is_link;
    };
    const Case cases[] = {
        {"SYMLINK", 0xA000000Cu, true},        {"MOUNT_POINT (junction)", 0xA0000003u, true},
        {"LX_SYMLINK", 0xA000001Du, true},     {"WCI_LINK", 0xA0000027u, true},
        {"GLOBAL_REPARSE", 0xA0000019u, true}, {"CLOUD", 0x9000001Au, false},
        {"CLOUD_1", 0x9000101Au, false},       {"CLOUD_6", 0x9000601Au, false},
        {"CLOUD_F", 0x9000F01Au, false},       {"ONEDRIVE", 0x80000021u, false},
        {"DEDUP", 0x80000013u, false},         {"WOF (compressed)", 0x80000017u, false},
        {"APPEXECLINK", 0x8000001Bu, false},   {"PROJFS", 0x9000001Cu, false},
        {"HSM", 0xC0000004u, false},           {"NFS", 0x80000014u, false},
        {"AF_UNIX", 0x80000023u, false},       {"WCI", 0x80000018u, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::is_name_surrogate(c.tag), c.is_link) << c.tag_name;
    }
}

// Some network file systems give index 0 for every file: such an identity, or one from a query
// that failed, must never mark a directory as walked.
TEST(DirectoryIdentities, OnlyTrustedOnesIdentify) {
    struct Case {
        bool known;
        std::uint64_t volume, index;
        bool trusted;
    };
    const Case cases[] = {
        {true, 7, 42, true},   {true, 0, 1, true},
        {true, 7, 0, false},   {true, 7, ~std::uint64_t{0}, false},
        {false, 7, 42, false}, {false, 0, 0, false},
    };
    for (const Case& c : cases) {
        const auto identity = platform::trusted_identity(c.known, c.volume, c.index);
        EXPECT_EQ(identity.has_value(), c.trusted) << c.volume << ":" << c.index;
        if (identity) {
            EXPECT_EQ(identity->volume, c.volume);
            EXPECT_EQ(identity->index, c.index);
        }
    }
}

TEST(LongPaths, FullAndExact) {
    const std::u16string current = u"C:\\work\\tree";
    struct Case {
        std::u16string path, expected;
    };
    const Case cases[] = {
        // Trailing dots and spaces are kept: "G." is not "G".
        {u"C:\\a\\G.", u"\\\\?\\C:\\a\\G."},
        {u"C:\\a\\G ", u"\\\\?\\C:\\a\\G "},
        {u"c:/a/b", u"\\\\?\\C:\\a\\b"},
        {u"C:\\a\\.\\b\\..\\c\\\\d", u"\\\\?\\C:\\a\\c\\d"},
        {u"C:\\", u"\\\\?\\C:\\"},
        {u"C:\\..", u"\\\\?\\C:\\"},
        {u"\\\\server\\share\\x.", u"\\\\?\\UNC\\server\\share\\x."},
        {u"//server/share/x", u"\\\\?\\UNC\\server\\share\\x"},
        // Relative forms, from the current directory.
        {u"G.", u"\\\\?\\C:\\work\\tree\\G."},
        {u"..\\other\\G", u"\\\\?\\C:\\work\\other\\G"},
        {u".\\G", u"\\\\?\\C:\\work\\tree\\G"},
        {u"\\top", u"\\\\?\\C:\\top"},
        {u"C:name", u"\\\\?\\C:\\work\\tree\\name"},
        {u"D:name", u"\\\\?\\D:\\name"},
        // An empty path names nothing (taken as relative, it would name the current directory).
        {u"", u""},
        // Device forms stay as they are.
        {u"\\\\?\\C:\\a.", u"\\\\?\\C:\\a."},
        {u"\\\\?\\UNC\\s\\x", u"\\\\?\\UNC\\s\\x"},
        {u"\\\\.\\COM1", u"\\\\.\\COM1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::win32::long_path_from(c.path, current), c.expected)
            << std::string(c.path.begin(), c.path.end());
    }
    EXPECT_EQ(platform::win32::long_path_from(u"rel", u"\\\\server\\share\\dir"),
              u"\\\\?\\UNC\\server\\share\\dir\\rel");
    EXPECT_EQ(platform::win32::long_path_from(u"\\top", u"\\\\server\\share\\dir"),
              u"\\\\?\\UNC\\server\\share\\top");
}

}  // namespace
}  // namespace tavrik
