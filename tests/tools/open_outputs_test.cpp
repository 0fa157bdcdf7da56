// The outputs of a session as a library call: an output whose option names a
// folder gets one stream per file in it, and its hooks write at their moments.
#include "tools/open_outputs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "batch_process.h"
#include "engine/record.h"
#include "engine/run.h"
#include "files/lammps_export.h"

namespace ljgas {
namespace {

// The moments into the first file, the step of each read-out into the second.
const BatchOutput FolderOutput[] = {{
    .option = "--pair-out",
    .help = "",
    .inFolder = {"moments.txt", "steps.txt"},
    .atOpen = [](Streams out) { std::fputs("open\n", out[0]); },
    .atLatticeStart = [](Streams out, const Record&) { std::fputs("lattice start\n", out[0]); },
    .atReadOut = [](Streams out, const ReadOut& shown) {
        std::fprintf(out[1], "%lld\n", static_cast<long long>(shown.step));
    },
    .atEnd = [](Streams out, const RunEnd&) { std::fputs("end\n", out[0]); },
}};

// An output that cannot be written from the end state it is given.
const BatchOutput RefusingOutput[] = {{
    .option = "--odd-out",
    .help = "",
    .atOpen = [](Streams out) { std::fputs("header\n", out[0]); },
    .refusedAtEnd = [](const RunEnd&) { return std::string("no gas to export"); },
}};

TEST(OpenOutputs, FolderOutputWritesEachOfItsFilesAtTheEnd)
{
    test::ScratchFolder folder;
    const std::string moments = folder.file("moments.txt");
    const std::string steps = folder.file("steps.txt");
    OpenOutputs outputs;
    std::string error;
    ASSERT_TRUE(outputs.open(FolderOutput, {{"--pair-out", folder.path()}}, error)) << error;
    auto rec = std::make_unique<Record>();
    outputs.atLatticeStart(*rec);
    outputs.atReadOut({*rec, 20, 0.5f});
    outputs.atReadOut({*rec, 40, 0.5f});
    const RunStats stats;
    const LammpsSettings settings;
    outputs.atEnd({*rec, stats, settings});
    EXPECT_FALSE(test::fileExists(moments));

    std::vector<std::string> written;
    ASSERT_TRUE(outputs.commit(written, error)) << error;
    EXPECT_EQ(written, (std::vector<std::string>{moments, steps}));
    EXPECT_EQ(test::readText(moments), "open\nlattice start\nend\n");
    EXPECT_EQ(test::readText(steps), "20\n40\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"moments.txt", "steps.txt"}));
}

TEST(OpenOutputs, RefusedEndStateLeavesNoFileAndFailsTheCommit)
{
    test::ScratchFolder folder;
    OpenOutputs outputs;
    std::string error;
    ASSERT_TRUE(outputs.open(RefusingOutput, {{"--odd-out", folder.file("odd.csv")}}, error)) << error;
    auto rec = std::make_unique<Record>();
    const RunStats stats;
    const LammpsSettings settings;
    outputs.atEnd({*rec, stats, settings});
    std::vector<std::string> written;
    EXPECT_FALSE(outputs.commit(written, error));
    EXPECT_EQ(error, "--odd-out not written: no gas to export");
    EXPECT_TRUE(written.empty());
    EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
}  // namespace ljgas
