// Output files: invisible until committed, never half-written, devices and
// pipes written in place rather than replaced, links kept, names at the
// system's limit, and the temporaries a killed run left behind.
#include "files/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_process.h"
#include "files/file_error.h"

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
    OutputFile out(path);
    out.write("a,b\n1,2\n");
    EXPECT_FALSE(fileExists(path));
    // The temporary file is hidden next to the target.
    const std::vector<std::string> during = folder.entries();
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0].rfind(".out.csv.", 0), 0u) << during[0];

    out.commit();
    EXPECT_EQ(readText(path), "a,b\n1,2\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.csv"});
}

TEST(OutputFile, DiscardLeavesAnOldFileUntouchedAndNoTemporary)
{
    ScratchFolder folder;
    const std::string path = folder.file("out.csv");
    writeText(path, "old\n");
    {
        OutputFile out(path);
        out.write("new\n");
        out.discard();
    }
    {
        OutputFile dropped(path);  // never committed: the destructor discards
        dropped.write("newer\n");
    }
    EXPECT_EQ(readText(path), "old\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.csv"});
}

TEST(OutputFile, CommittedFileHasTheUsualPermissions)
{
    ScratchFolder folder;
    const std::string path = folder.file("out.csv");
    const mode_t mask = ::umask(022);
    OutputFile(path).commit();
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

// What opening `path` throws.
std::string refusal(const std::string& path)
{
    try {
        OutputFile out(path);
    } catch (const FileError& error) {
        return error.what();
    }
    return "opened";
}

TEST(OutputFile, RefusesDirectoriesAndMissingFolders)
{
    ScratchFolder folder;
    EXPECT_EQ(refusal(folder.path()), "'" + folder.path() + "' is a directory");
    EXPECT_EQ(refusal(folder.file("sub/")), "'" + folder.file("sub/") + "' is not a file name");
    EXPECT_EQ(refusal(folder.file("absent/out.csv")),
              "cannot create '" + folder.file("absent/out.csv") + "': No such file or directory");
    EXPECT_TRUE(folder.entries().empty());
}

TEST(OutputFile, SymbolicLinkIsKeptAndItsTargetReplaced)
{
    ScratchFolder folder;
    const std::string target = folder.file("target.csv");
    const std::string link = folder.file("link.csv");
    writeText(target, std::string(10000, 'x'));  // longer than what follows
    std::filesystem::create_symlink("target.csv", link);
    std::filesystem::create_symlink("new.csv", folder.file("dangling.csv"));

    OutputFile out(link);
    // Not touched yet: a failure now would leave it.
    EXPECT_EQ(readText(target), std::string(10000, 'x'));
    out.write("short\n");
    out.commit();
    // A link to a file not there yet makes that file.
    OutputFile created(folder.file("dangling.csv"));
    created.write("new\n");
    created.commit();

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readText(target), "short\n");
    EXPECT_EQ(readText(folder.file("new.csv")), "new\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"dangling.csv", "link.csv", "new.csv", "target.csv"}));
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

    OutputFile out(fifo);
    out.write("through the pipe\n");
    out.commit();

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
    OutputFile out(link);
    out.write("nothing\n");
    out.commit();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"null"});
}

TEST(OutputFile, FullDeviceIsAWriteError)
{
    ScratchFolder folder;
    const std::string link = folder.file("full");
    std::filesystem::create_symlink("/dev/full", link);
    OutputFile out(link);
    out.write("no room\n");
    try {
        out.commit();
        FAIL() << "committed";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot write '" + link + "': No space left on device");
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

TEST(OutputFile, NameAtTheSystemsLimitGetsATemporaryThatFits)
{
    ScratchFolder folder;
    const std::string name(255, 'n');
    for (const char* text : {"first\n", "second\n"}) {  // made, then replaced
        OutputFile out(folder.file(name));
        const std::string temporary = folder.entries().front();
        EXPECT_EQ(temporary.size(), 255u);
        EXPECT_EQ(temporary.rfind("." + std::string(247, 'n') + ".", 0), 0u);
        out.write(text);
        out.commit();
        EXPECT_EQ(readText(folder.file(name)), text);
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{name});
    EXPECT_EQ(refusal(folder.file(name + "n")), "cannot create '" + folder.file(name + "n") + "': File name too long");
}

TEST(OutputFile, TemporaryLeftByAKilledRunGoesWhenTheOutputIsNextWritten)
{
    ScratchFolder folder;
    for (const char* name : {".out.csv.Ab3xYz", ".out.csv.held00", ".out.csv.short", ".other.csv.Ab3xYz"})
        writeText(folder.file(name), "partial\n");
    // A temporary that a live writer holds is its lock's: it stays.
    const int held = ::open(folder.file(".out.csv.held00").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    {
        OutputFile out(folder.file("out.csv"));
        out.commit();
    }
    ::close(held);
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{".other.csv.Ab3xYz", ".out.csv.held00", ".out.csv.short", "out.csv"}));
}

TEST(OutputFile, FilesCommittedTogetherAreBothNewOrBothOld)
{
    ScratchFolder folder;
    writeText(folder.file("data"), "old data\n");
    writeText(folder.file("deck"), "old deck\n");
    {
        OutputFile data(folder.file("data"));
        OutputFile deck(folder.file("deck"));
        data.write("new data\n");
        deck.write("new deck\n");
        // The deck's place becomes a folder that no file can replace.
        std::filesystem::remove(folder.file("deck"));
        std::filesystem::create_directories(folder.file("deck/in"));
        EXPECT_THROW(commitTogether(data, deck), FileError);
    }
    EXPECT_EQ(readText(folder.file("data")), "old data\n");
    std::filesystem::remove_all(folder.file("deck"));
    OutputFile data(folder.file("data"));
    OutputFile deck(folder.file("deck"));
    data.write("new data\n");
    deck.write("new deck\n");
    commitTogether(data, deck);
    EXPECT_EQ(readText(folder.file("data")) + readText(folder.file("deck")), "new data\nnew deck\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"data", "deck"}));
}

}  // namespace
}  // namespace ljgas
