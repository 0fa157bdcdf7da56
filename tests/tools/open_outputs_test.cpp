// The outputs of a session as a library call: an output whose option names a
// folder gets one stream per file in it, made where it is missing, and its
// hooks write at their moments.
#include "tools/open_outputs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "batch_process.h"
#include "engine/record.h"
#include "engine/run.h"
#include "files/file_error.h"
#include "files/lammps_export.h"
#include "files/run_outputs.h"

namespace ljgas {
namespace {

// The moments into the first file, the step of each read-out into the second.
const BatchOutput FolderOutput[] = {{
    .option = "--pair-out",
    .help = "",
    .inFolder = {"moments.txt", "steps.txt"},
    .atOpen = [](Streams out) { out[0]->write("open\n"); },
    .atLatticeStart = [](Streams out, const LatticeStart&) { out[0]->write("lattice start\n"); },
    .atReadOut = [](Streams out, const ReadOut& shown) { out[1]->write(std::to_string(shown.step) + "\n"); },
    .atEnd = [](Streams out, const RunEnd&) { out[0]->write("end\n"); },
}};

// An output that cannot be written from the end state it is given.
const BatchOutput RefusingOutput[] = {{
    .option = "--odd-out",
    .help = "",
    .inFolder = {"header.txt", "end.txt"},
    .atOpen = [](Streams out) { out[0]->write("header\n"); },
    .atEnd = [](Streams, const RunEnd&) { throw FileError("no gas to export"); },
}};

const RunStats stats;
const HistogramMark mark;
const RunSettings settings;

TEST(OpenOutputs, FolderOutputMakesItsFolderAndWritesEachOfItsFilesAtTheEnd)
{
    test::ScratchFolder folder;
    const std::string moments = folder.file("made/in/turn/moments.txt");
    const std::string steps = folder.file("made/in/turn/steps.txt");
    OpenOutputs outputs;
    outputs.open(FolderOutput, {{"--pair-out", folder.file("made/in/turn")}});
    auto rec = std::make_unique<Record>();
    outputs.atLatticeStart({*rec, settings});
    outputs.atReadOut({*rec, 20, 0.5f});
    outputs.atReadOut({*rec, 40, 0.5f});
    outputs.atEnd({*rec, stats, 0, mark, settings});
    EXPECT_FALSE(test::fileExists(moments));

    std::vector<std::string> written;
    outputs.commit(written);
    EXPECT_EQ(written, (std::vector<std::string>{moments, steps}));
    EXPECT_EQ(test::readText(moments), "open\nlattice start\nend\n");
    EXPECT_EQ(test::readText(steps), "20\n40\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"made"});
}

TEST(OpenOutputs, RefusedEndStateLeavesNoFileAndFailsTheCommit)
{
    test::ScratchFolder folder;
    OpenOutputs outputs;
    outputs.open(RefusingOutput, {{"--odd-out", folder.path()}});
    auto rec = std::make_unique<Record>();
    outputs.atEnd({*rec, stats, 0, mark, settings});
    std::vector<std::string> written;
    try {
        outputs.commit(written);
        FAIL() << "committed";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "--odd-out not written: no gas to export");
    }
    EXPECT_TRUE(written.empty());
    EXPECT_TRUE(folder.entries().empty());
}

TEST(OpenOutputs, FolderThatCannotBeMadeLeavesNoneOfItsParents)
{
    test::ScratchFolder folder;
    test::writeText(folder.file("file"), "x\n");
    OpenOutputs outputs;
    // The second output's folder lies under a file: the first's folders,
    // made by then, go again.
    const BatchOutput both[] = {FolderOutput[0], RefusingOutput[0]};
    EXPECT_THROW(outputs.open(both, {{"--pair-out", folder.file("a/b")}, {"--odd-out", folder.file("file/c")}}),
                 FileError);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"file"});
}

// A growing output is in place, under its own name, only once every output
// has opened: one that cannot open leaves neither it nor a temporary behind.
// Once in place, a write reaches the file at once.
TEST(OpenOutputs, GrowingOutputIsPutInPlaceOnlyWhenEveryOutputOpens)
{
    test::ScratchFolder folder;
    test::writeText(folder.file("file"), "x\n");
    const BatchOutput growing{
        .option = "--grow-out", .help = "", .atOpen = [](Streams out) { out[0]->write("open\n"); }, .growing = true};
    const BatchOutput both[] = {growing, RefusingOutput[0]};
    OpenOutputs refused;
    EXPECT_THROW(refused.open(both, {{"--grow-out", folder.file("g.txt")}, {"--odd-out", folder.file("file/c")}}),
                 FileError);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"file"});

    OpenOutputs outputs;
    outputs.open(both, {{"--grow-out", folder.file("g.txt")}, {"--odd-out", folder.file("d")}});
    EXPECT_EQ(test::readText(folder.file("g.txt")), "open\n");
}

}  // namespace
}  // namespace ljgas
