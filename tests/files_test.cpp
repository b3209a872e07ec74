#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.hpp"
#include "tests/support/temp_tree.hpp"

#include <csignal>
#include <filesystem>

#ifndef _WIN32
#include "tests/support/posix_helpers.hpp"
#endif

namespace tavrik {
namespace {

using platform::read_file_prefix;
using platform::write_file_replacing;

// Devices, pipes and folders are refused at once: reading them could wait forever or give
// something that is no file's content.
TEST(ReadFilePrefix, OnlyRegularFilesAreRead) {
    test::TempTree tree;
    tree.make_directory(u"folder");
    std::vector<std::u16string> refused = {tree.path(u"folder")};
#ifdef _WIN32
    refused.insert(refused.end(), {u"NUL", u"CONIN$", u"COM1", u"\\\\.\\NUL"});
#else
    const std::u16string fifo = tree.path(u"fifo");  // no writer: opening it would block
    ASSERT_TRUE(test::make_fifo(fifo));
    refused.insert(refused.end(), {fifo, u"/dev/null", u"/dev/zero"});
#endif
    for (const std::u16string& path : refused) {
        std::string failure;
        EXPECT_FALSE(read_file_prefix(path, 100, failure).has_value())
            << std::filesystem::path(path).string();
        EXPECT_FALSE(failure.empty());
    }
    tree.make_file(u"file.txt", "text");
    std::string failure;
    const auto file = read_file_prefix(tree.path(u"file.txt"), 100, failure);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->bytes, "text");
    EXPECT_FALSE(read_file_prefix(tree.path(u"missing.txt"), 100, failure).has_value());
    EXPECT_FALSE(failure.empty());
}

// The temporary file has a short name of its own, so a name near the file system's limit of
// 255 still gets its output; it never outlives a write that failed.
TEST(WriteFileReplacing, LongNamesAndFailuresLeaveNoTemporaryFile) {
    test::TempTree tree;
    const std::u16string long_name = std::u16string(240, u'n') + u".fixed";  // 246 units
    std::string failure;
    EXPECT_TRUE(write_file_replacing(tree.path(long_name), "repaired", failure)) << failure;
    EXPECT_EQ(tree.read(long_name), "repaired");
    EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{long_name});

    tree.make_directory(u"folder.fixed/inside");  // a folder cannot be replaced by a file
    EXPECT_FALSE(write_file_replacing(tree.path(u"folder.fixed"), "repaired", failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_FALSE(write_file_replacing(tree.path(u"missing/out.fixed"), "repaired", failure));
    EXPECT_EQ(tree.names_in(), (std::vector<std::u16string>{u"folder.fixed", long_name}));
    EXPECT_EQ(tree.names_in(u"folder.fixed"), std::vector<std::u16string>{u"inside"});
}

#ifndef _WIN32

namespace fs = std::filesystem;

fs::perms permissions_of(const std::u16string& path) {
    return fs::symlink_status(fs::path(path)).permissions();
}

// A file replaced keeps its permissions; a new one gets those the umask leaves; a symbolic link
// in the way lends none of its target's (the link is replaced, its target untouched).
TEST(WriteFileReplacing, Permissions) {
    test::TempTree tree;
    tree.make_file(u"kept.fixed", "old");
    fs::permissions(fs::path(tree.path(u"kept.fixed")), fs::perms(0640));
    tree.make_file(u"secret", "private");
    fs::permissions(fs::path(tree.path(u"secret")), fs::perms(0600));
    fs::create_symlink("secret", fs::path(tree.path(u"link.fixed")));
    struct Case {
        std::u16string name;
        unsigned umask;
        unsigned expected;
    };
    const Case cases[] = {
        {u"kept.fixed", 022, 0640},
        {u"new.fixed", 022, 0644},
        {u"private.fixed", 077, 0600},
        {u"link.fixed", 022, 0644},
    };
    for (const Case& c : cases) {
        const test::ScopedUmask mask(c.umask);
        EXPECT_TRUE(write_file_replacing(tree.path(c.name), "repaired"));
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(fs::path(tree.path(c.name)))))
            << fs::path(c.name).string();
        EXPECT_EQ(permissions_of(tree.path(c.name)), fs::perms(c.expected))
            << fs::path(c.name).string();
    }
    EXPECT_EQ(tree.read(u"secret"), "private");
    EXPECT_EQ(permissions_of(tree.path(u"secret")), fs::perms(0600));
}

constexpr unsigned long SMALL_FILE_LIMIT = 4096;
const std::string LARGE = std::string(64 * 1024, 'x');

// Past the file size limit the write fails and is reported; nothing stays behind.
TEST(WriteFileReplacing, FileSizeLimitIsAFailureNotAStop) {
    test::TempTree tree;
    const std::u16string target = tree.path(u"out.fixed");
    const test::ChildEnd end = test::run_in_child([&] {
        platform::remove_temporary_files_when_stopped();
        test::limit_file_size(SMALL_FILE_LIMIT);
        std::string failure;
        const bool written = write_file_replacing(target, LARGE, failure);
        return !written && failure == "File too large" ? 0 : 1;
    });
    EXPECT_TRUE(end.exited);
    EXPECT_EQ(end.code, 0);
    EXPECT_TRUE(tree.names_in().empty());
}

// A stopping signal that arrives while the temporary file is written removes it, then stops the
// program as it would have. The signal comes from the write itself (through the file size
// limit), so it arrives exactly then.
TEST(WriteFileReplacing, StoppingSignalsRemoveTheTemporaryFile) {
    for (const int stopping : {SIGINT, SIGTERM, SIGHUP}) {
        test::TempTree tree;
        tree.make_file(u"out.fixed", "earlier result");
        const std::u16string target = tree.path(u"out.fixed");
        const test::ChildEnd end = test::run_in_child([&] {
            platform::remove_temporary_files_when_stopped();
            test::raise_at_file_size_limit(stopping);
            test::limit_file_size(SMALL_FILE_LIMIT);
            write_file_replacing(target, LARGE);
            return 0;
        });
        EXPECT_FALSE(end.exited) << stopping;
        EXPECT_EQ(end.signal, stopping);
        EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"out.fixed"}) << stopping;
        EXPECT_EQ(tree.read(u"out.fixed"), "earlier result");
    }
}

#endif

}  // namespace
}  // namespace tavrik
