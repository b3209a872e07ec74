#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.hpp"
#include "tests/support/temp_tree.hpp"

#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

#ifndef _WIN32
#include <unistd.h>

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

// A file or standard input of any size is read a piece at a time; what read_file_prefix
// refuses, the reader refuses too.
TEST(ByteReader, ReadsRegularFilesInPiecesAndRefusesTheRest) {
    test::TempTree tree;
    std::string contents;
    for (int i = 0; i < 100000; ++i)
        contents += static_cast<char>('a' + i % 26);
    tree.make_file(u"big.txt", contents);
    for (const std::size_t piece : {std::size_t{1000}, std::size_t{65536}, std::size_t{1} << 20}) {
        platform::ByteReader reader;
        std::string failure;
        ASSERT_TRUE(reader.open_file(tree.path(u"big.txt"), failure)) << failure;
        std::string read;
        std::string buffer(piece, '\0');
        for (;;) {
            const auto n = reader.read(buffer.data(), buffer.size(), failure);
            ASSERT_TRUE(n.has_value()) << failure;
            if (*n == 0) break;
            EXPECT_LE(*n, piece);
            read.append(buffer, 0, *n);
        }
        EXPECT_EQ(read, contents) << piece;
    }
    tree.make_directory(u"folder");
    std::vector<std::u16string> refused = {tree.path(u"folder"), tree.path(u"missing.txt")};
#ifdef _WIN32
    refused.insert(refused.end(), {u"NUL", u"COM1"});
#else
    const std::u16string fifo = tree.path(u"fifo");
    ASSERT_TRUE(test::make_fifo(fifo));
    refused.insert(refused.end(), {fifo, u"/dev/null", u"/dev/zero"});
#endif
    for (const std::u16string& path : refused) {
        platform::ByteReader reader;
        std::string failure;
        EXPECT_FALSE(reader.open_file(path, failure)) << std::filesystem::path(path).string();
        EXPECT_FALSE(failure.empty());
        char byte = 0;
        EXPECT_FALSE(reader.read(&byte, 1, failure).has_value());  // nothing open
    }
}

// Written in pieces, the file takes the place of the target only on commit; a writer that goes
// uncommitted leaves the target as it was and no temporary file.
TEST(ReplacingWriter, PutsTheFileInPlaceOnlyOnCommit) {
    test::TempTree tree;
    tree.make_file(u"out.fixed", "earlier result");
    const std::u16string target = tree.path(u"out.fixed");
    std::string failure;
    {
        platform::ReplacingWriter writer;
        ASSERT_TRUE(writer.begin(target, failure)) << failure;
        EXPECT_TRUE(writer.write("half of ", failure));
#ifndef _WIN32
        EXPECT_EQ(tree.names_in().size(), 2u);  // the target and the temporary file
#endif
    }
    EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"out.fixed"});
    EXPECT_EQ(tree.read(u"out.fixed"), "earlier result");

    platform::ReplacingWriter writer;
    ASSERT_TRUE(writer.begin(target, failure)) << failure;
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        const std::string piece = "piece " + std::to_string(i) + "\n";
        EXPECT_TRUE(writer.write(piece, failure));
        expected += piece;
    }
    EXPECT_EQ(tree.read(u"out.fixed"), "earlier result");
    EXPECT_TRUE(writer.commit(failure)) << failure;
    EXPECT_EQ(tree.read(u"out.fixed"), expected);
    EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"out.fixed"});
    // Once committed, or never begun, there is nothing more to write or commit.
    EXPECT_FALSE(writer.write("more", failure));
    EXPECT_FALSE(writer.commit(failure));
    platform::ReplacingWriter unused;
    EXPECT_FALSE(unused.commit(failure));

    tree.make_directory(u"folder.fixed/inside");  // a folder is never replaced
    platform::ReplacingWriter into_folder;
    ASSERT_TRUE(into_folder.begin(tree.path(u"folder.fixed"), failure));
    EXPECT_TRUE(into_folder.write("text", failure));
    EXPECT_FALSE(into_folder.commit(failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_EQ(tree.names_in(), (std::vector<std::u16string>{u"folder.fixed", u"out.fixed"}));
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

// Past the file size limit a write of a piece fails and is reported; the target stays and the
// temporary file goes at once.
TEST(ReplacingWriter, FileSizeLimitFailsTheWriteAndRemovesTheTemporaryFile) {
    test::TempTree tree;
    tree.make_file(u"out.fixed", "earlier result");
    const std::u16string target = tree.path(u"out.fixed");
    const test::ChildEnd end = test::run_in_child([&] {
        platform::remove_temporary_files_when_stopped();
        test::limit_file_size(SMALL_FILE_LIMIT);
        platform::ReplacingWriter writer;
        std::string failure;
        if (!writer.begin(target, failure)) return 2;
        for (int i = 0; i < 100; ++i) {
            if (!writer.write(LARGE.substr(0, 1000), failure))
                return failure == "File too large" && tree.names_in().size() == 1 ? 0 : 3;
        }
        return 1;
    });
    EXPECT_TRUE(end.exited);
    EXPECT_EQ(end.code, 0);
    EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"out.fixed"});
    EXPECT_EQ(tree.read(u"out.fixed"), "earlier result");
}

// `ulimit -t` sets the hard CPU time limit, where the system kills with SIGKILL, which nothing
// can catch: the program must hear of it (SIGXCPU) before, while it can still clean up.
TEST(ReplacingWriter, CpuTimeLimitRemovesTheTemporaryFile) {
    test::TempTree tree;
    const std::u16string target = tree.path(u"out.fixed");
    const test::ChildEnd end = test::run_in_child([&] {
        test::limit_cpu_time(2);
        platform::remove_temporary_files_when_stopped();
        platform::ReplacingWriter writer;
        std::string failure;
        if (!writer.begin(target, failure)) return 2;
        volatile unsigned long spin = 0;
        while (std::clock() < 5 * CLOCKS_PER_SEC)
            spin = spin + 1;
        return 3;
    });
    EXPECT_EQ(end.signal, SIGXCPU) << "exit " << end.code << ", signal " << end.signal;
    EXPECT_TRUE(tree.names_in().empty());
}

// Every signal that would end the program and may come at any moment (from another process, a
// timer, a CPU time limit) removes the temporary file, then ends the program by that same
// signal. The faults a program causes itself are left to the system and the sanitizers; past
// the file size limit a write fails instead (above). The signals are those the system ends a
// process by, found by trying each, so that none can be forgotten.
TEST(ReplacingWriter, EverySignalThatEndsTheProgramRemovesTheTemporaryFile) {
    const std::set<int> left_to_the_system = {SIGSEGV, SIGBUS, SIGFPE,  SIGILL, SIGABRT,
                                              SIGTRAP, SIGSYS, SIGKILL, SIGXFSZ};
    int tried = 0;
    for (const int signal : test::signals_that_end_by_default()) {
        if (left_to_the_system.count(signal) != 0) continue;
        ++tried;
        test::TempTree tree;
        tree.make_file(u"out.fixed", "earlier result");
        const std::u16string target = tree.path(u"out.fixed");
        platform::ReplacingWriter writer;  // in the child, half written when the signal comes
        const test::ChildEnd end = test::signal_child_when_ready(
            [&] {
                platform::remove_temporary_files_when_stopped();
                std::string failure;
                if (!writer.begin(target, failure) || !writer.write(LARGE, failure)) _exit(2);
                if (tree.names_in().size() != 2) _exit(3);  // the temporary file is there
            },
            signal);
        EXPECT_EQ(end.signal, signal) << strsignal(signal) << ", exit " << end.code;
        EXPECT_EQ(tree.names_in(), std::vector<std::u16string>{u"out.fixed"}) << strsignal(signal);
        EXPECT_EQ(tree.read(u"out.fixed"), "earlier result");
    }
    EXPECT_GE(tried, 12);  // SIGHUP ... SIGPROF and the real-time signals at least
}

#endif

}  // namespace
}  // namespace tavrik
