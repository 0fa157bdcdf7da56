// The export for LAMMPS without LAMMPS: what the two files hold, to the bit,
// and that ljgas-batch gives a folder they cannot go into neither.
#include "files/lammps_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/record.h"
#include "tests/tools/batch_process.h"

namespace ljgas {
namespace {

using test::lines;
using test::readText;
using test::ScratchFolder;

// Three discs, two of them on the edge x = 1 or y = 1 that ljgas's closed
// box allows and LAMMPS's half-open one does not.
std::unique_ptr<Record> threeDiscs()
{
    auto rec = std::make_unique<Record>();
    rec->n = 3;
    rec->R = 0.01f;
    const float x[] = {1.0f, 0.5f, 0.123456791f};
    const float y[] = {0.25f, 1.0f, 0.987654328f};
    const float vx[] = {0.1f, -0.2f, 1e-7f};
    const float vy[] = {-0.3f, 0.4f, -0.7f};
    for (int k = 1; k <= 3; ++k) {
        rec->x[k] = x[k - 1];
        rec->y[k] = y[k - 1];
        rec->vx[k] = vx[k - 1];
        rec->vy[k] = vy[k - 1];
    }
    return rec;
}

// The lines of a data-file section, up to the next blank line.
std::vector<std::string> section(const std::string& text, const std::string& title)
{
    const std::vector<std::string> all = lines(text);
    std::vector<std::string> rows;
    std::size_t i = 0;
    while (i < all.size() && all[i].rfind(title, 0) != 0)
        ++i;
    for (i += 2; i < all.size() && !all[i].empty(); ++i)
        rows.push_back(all[i]);
    return rows;
}

// The numbers after the command word of the deck's first line that starts with it.
std::vector<double> deckNumbers(const std::string& deck, const std::string& command)
{
    for (const std::string& line : lines(deck)) {
        if (line.rfind(command + " ", 0) != 0)
            continue;
        std::istringstream fields(line.substr(command.size()));
        std::vector<double> numbers;
        std::string word;
        while (fields >> word)
            numbers.push_back(std::strtod(word.c_str(), nullptr));
        return numbers;
    }
    return {};
}

TEST(LammpsExport, DataFileHoldsTheStateExactlyInTheHalfOpenBox)
{
    const auto rec = threeDiscs();
    const std::string data = lammpsDataText(*rec, runSettings("0.2", "0.3", true));
    EXPECT_NE(data.find("\n3 atoms\n"), std::string::npos);
    const std::vector<std::string> atoms = section(data, "Atoms");
    const std::vector<std::string> velocities = section(data, "Velocities");
    ASSERT_EQ(atoms.size(), 3u);
    ASSERT_EQ(velocities.size(), 3u);
    for (int k = 1; k <= 3; ++k) {
        int id = 0;
        int type = 0;
        double x = 0.0;
        double y = 0.0;
        double vx = 0.0;
        double vy = 0.0;
        std::istringstream(atoms[k - 1]) >> id >> type >> x >> y;
        EXPECT_EQ(id, k);
        EXPECT_EQ(type, 1);
        // LAMMPS reads doubles: each must be the single-precision value itself.
        EXPECT_EQ(x, rec->x[k] == 1.0f ? 0.0 : static_cast<double>(rec->x[k])) << atoms[k - 1];
        EXPECT_EQ(y, rec->y[k] == 1.0f ? 0.0 : static_cast<double>(rec->y[k])) << atoms[k - 1];
        std::istringstream(velocities[k - 1]) >> id >> vx >> vy;
        EXPECT_EQ(id, k);
        EXPECT_EQ(vx, static_cast<double>(rec->vx[k])) << velocities[k - 1];
        EXPECT_EQ(vy, static_cast<double>(rec->vy[k])) << velocities[k - 1];
    }
}

TEST(LammpsExport, DeckComputesWithTheRunsValuesAndTheConvertedTarget)
{
    const auto rec = threeDiscs();
    const RunSettings settings = runSettings("0.2", "0.3", true);
    const std::string deck = lammpsDeckText(*rec, settings);
    const double R = rec->R;
    EXPECT_EQ(deckNumbers(deck, "pair_style      lj/cut"), std::vector<double>{8 * R});
    EXPECT_EQ(deckNumbers(deck, "pair_coeff      1 1"), (std::vector<double>{settings.e0, 2 * R}));
    EXPECT_EQ(deckNumbers(deck, "variable        Tsoll equal"), std::vector<double>{0.3});
    EXPECT_NE(deck.find("$(v_Tsoll*count(all)/(2*count(all)-2):%.17g)"), std::string::npos);
    EXPECT_EQ(deckNumbers(deck, "fix             hold all temp/berendsen ${Ttarget} ${Ttarget}"),
              std::vector<double>{0.2});
    // The default LAMMPS step, 0.001 / 4, as the README's runs were measured with.
    EXPECT_EQ(deckNumbers(deck, "variable        substeps index"), std::vector<double>{4});

    EXPECT_EQ(lammpsDeckText(*rec, runSettings("0.2", "0.3", false)).find("temp/berendsen"), std::string::npos);
}

struct BadFolder {
    const char* name;
    const char* folder;  // inside the scratch folder
    const char* named;   // the path the message names
    const char* reason;
};

std::ostream& operator<<(std::ostream& out, const BadFolder& row) { return out << row.name; }

class LammpsExportBadFolder : public ::testing::TestWithParam<BadFolder> {};

TEST_P(LammpsExportBadFolder, IsNamedWithItsReasonAndGetsNothing)
{
    const BadFolder& row = GetParam();
    ScratchFolder scratch;
    test::writeText(scratch.file("a file"), "x\n");
    ::mkdir(scratch.file("read-only").c_str(), 0555);
    if (std::string(row.name) == "read-only" && ::access(scratch.file("read-only").c_str(), W_OK) == 0)
        GTEST_SKIP() << "running as root: every folder is writable";

    test::BatchLaunch launch;
    launch.folder = scratch.path();
    const test::BatchResult r = test::runBatch({"--steps", "0", "--lammps-out", row.folder}, launch);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("'" + std::string(row.named) + "'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(row.reason), std::string::npos) << r.err;
    EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"a file", "read-only"}));
    EXPECT_TRUE(std::filesystem::is_empty(scratch.file("read-only")));
}

INSTANTIATE_TEST_SUITE_P(Rows, LammpsExportBadFolder,
                         ::testing::Values(BadFolder{"not-a-folder", "a file", "a file", "not a folder"},
                                           BadFolder{"under-a-file", "a file/deck", "a file", "not a folder"},
                                           BadFolder{"read-only", "read-only", "read-only/data.ljgas",
                                                     "Permission denied"}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace ljgas
