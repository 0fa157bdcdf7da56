// Output files: invisible until committed, never half-written, and devices,
// pipes and symbolic links written in place rather than replaced.
#include "files/output_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_process.h"

namespace ljgas {
namespace {

using test::fileExists;
using test::readText;
using test::ScratchFolder;
using test::writeText;

TEST(OutputFile, AppearsOnlyWhenCommitted)
{
    ScratchFolder folder;
    const std::string path = folder.file("out.csv");
    OutputFile out;
    std::string error;
    ASSERT_TRUE(out.open(path, error)) << error;
    std::fputs("a,b\n1,2\n", out.stream());
    EXPECT_FALSE(fileExists(path));
    // The temporary file is hidden next to the target.
    const std::vector<std::string> during = folder.entries();
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0].rfind(".out.csv.", 0), 0u) << during[0];

    ASSERT_TRUE(out.commit(error)) << error;
    EXPECT_EQ(readText(path), "a,b\n1,2\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.csv"});
}

TEST(OutputFile, DiscardLeavesAnOldFileUntouchedAndNoTemporary)
{
    ScratchFolder folder;
    const std::string path = folder.file("out.csv");
    writeText(path, "old\n");
    {
        OutputFile out;
        std::string error;
        ASSERT_TRUE(out.open(path, error)) << error;
        std::fputs("new\n", out.stream());
        out.discard();
    }
    {
        OutputFile dropped;  // never committed: the destructor discards
        std::string error;
        ASSERT_TRUE(dropped.open(path, error)) << error;
        std::fputs("newer\n", dropped.stream());
    }
    EXPECT_EQ(readText(path), "old\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.csv"});
}

TEST(OutputFile, CommittedFileHasTheUsualPermissions)
{
    ScratchFolder folder;
    const std::string path = folder.file("out.csv");
    const mode_t mask = ::umask(022);
    OutputFile out;
    std::string error;
    ASSERT_TRUE(out.open(path, error)) << error;
    ASSERT_TRUE(out.commit(error)) << error;
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(OutputFile, RefusesDirectoriesAndMissingFolders)
{
    ScratchFolder folder;
    OutputFile out;
    std::string error;
    EXPECT_FALSE(out.open(folder.path(), error));
    EXPECT_EQ(error, "'" + folder.path() + "' is a directory");
    EXPECT_FALSE(out.open(folder.file("sub/"), error));
    EXPECT_EQ(error, "'" + folder.file("sub/") + "' is not a file name");
    EXPECT_FALSE(out.open(folder.file("absent/out.csv"), error));
    EXPECT_EQ(error, "cannot create '" + folder.file("absent/out.csv") + "': No such file or directory");
    EXPECT_FALSE(out.isOpen());
    EXPECT_TRUE(folder.entries().empty());
}

TEST(OutputFile, SymbolicLinkIsKeptAndItsTargetRewritten)
{
    ScratchFolder folder;
    const std::string target = folder.file("target.csv");
    const std::string link = folder.file("link.csv");
    writeText(target, std::string(10000, 'x'));  // longer than what follows
    std::filesystem::create_symlink(target, link);

    OutputFile out;
    std::string error;
    ASSERT_TRUE(out.open(link, error)) << error;
    // Opened in place but not yet truncated: a failure now would leave it.
    EXPECT_EQ(readText(target), std::string(10000, 'x'));
    std::fputs("short\n", out.stream());
    ASSERT_TRUE(out.commit(error)) << error;

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readText(target), "short\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"link.csv", "target.csv"}));
}

TEST(OutputFile, PipeIsWrittenAndStaysAPipe)
{
    ScratchFolder folder;
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The reader opens first, without waiting, so that opening the FIFO for
    // writing finds it and does not block; it reads once the writer is done.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    OutputFile out;
    std::string error;
    ASSERT_TRUE(out.open(fifo, error)) << error;
    std::fputs("through the pipe\n", out.stream());
    ASSERT_TRUE(out.commit(error)) << error;

    char buffer[100] = {};
    const ssize_t count = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(count, 0))), "through the pipe\n");
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"fifo"});
}

// The devices are reached through links in the scratch folder: should the
// in-place rule ever break, a rename replaces the link, never the device.
TEST(OutputFile, DeviceBehindALinkIsWrittenInPlace)
{
    ScratchFolder folder;
    const std::string link = folder.file("null");
    std::filesystem::create_symlink("/dev/null", link);
    OutputFile out;
    std::string error;
    ASSERT_TRUE(out.open(link, error)) << error;
    std::fputs("nothing\n", out.stream());
    ASSERT_TRUE(out.commit(error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"null"});
}

TEST(OutputFile, FullDeviceIsAWriteError)
{
    ScratchFolder folder;
    const std::string link = folder.file("full");
    std::filesystem::create_symlink("/dev/full", link);
    OutputFile out;
    std::string error;
    ASSERT_TRUE(out.open(link, error)) << error;
    std::fputs("no room\n", out.stream());
    EXPECT_FALSE(out.commit(error));
    EXPECT_EQ(error, "cannot write '" + link + "': No space left on device");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

}  // namespace
}  // namespace ljgas
