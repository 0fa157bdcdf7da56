// The failure table: numbers in the boxes that the engine cannot work with,
// run through ljgas-batch for 300 steps, each with the one outcome the
// program's rules give it. (Texts that are no numbers, which the window reads
// as 0, are refused by ljgas-batch before any run; the window's own table
// has them.)
//
// Where a row's step follows from those rules alone it says "Rule";
// where it depends on the dynamics, and so on the fixed random sequence of
// the lattice start, it says "Dynamics" and pins what the engine does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "batch_process.h"
#include "engine/pair_distance.h"

namespace ljgas {
namespace {

using test::BatchResult;
using test::lines;
using test::readText;
using test::ScratchFolder;

constexpr int RunSteps = 300;

// Which stage of the step failed, which fixes what the record holds.
enum class Stage {
    None,     // no error
    Init,     // the lattice start: the record is still all zeros
    Start,    // the run's start: the record is the lattice start
    Refresh,  // the slice refresh (distances, bins): nothing moved this step
    Kick,     // the pair forces: positions as after the step before
    Later,    // drift, kinetic sum or thermostat
};

struct BadInput {
    const char* name;
    std::vector<std::string> arguments;
    int exitCode;         // 0 or 3
    const char* message;  // the engine's: kind, step, what was computed and why
    long step;            // step in which the run ended (0: its start)
    Stage stage;
};

std::ostream& operator<<(std::ostream& out, const BadInput& row) { return out << row.name; }

class BadInputTable : public ::testing::TestWithParam<BadInput> {
protected:
    ScratchFolder folder;

    BatchResult run(std::vector<std::string> arguments, long steps, const std::string& stateOut)
    {
        arguments.insert(arguments.end(), {"--steps", std::to_string(steps), "--quiet", "--state-out", stateOut,
                                           "--temperature-out", "t.csv", "--gr-out", "g.csv"});
        test::BatchLaunch launch;
        launch.folder = folder.path();
        return test::runBatch(arguments, launch);
    }
    std::string text(const std::string& name) const { return readText(folder.file(name)); }
};

TEST_P(BadInputTable, EndsWithItsOneOutcome)
{
    const BadInput& row = GetParam();
    const BatchResult r = run(row.arguments, RunSteps, "s.csv");
    ASSERT_TRUE(r.exited);
    ASSERT_EQ(r.exitCode, row.exitCode) << r.err;
    EXPECT_EQ(r.out, "");

    if (row.exitCode == 0) {
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(lines(text("t.csv")).size(), 1u + RunSteps / 20);
        return;
    }

    // The error, then the files written; every requested file exists.
    const std::string failure = std::string("ljgas-batch: ") +
                                (row.stage == Stage::Init    ? "initialisation failed: "
                                 : row.stage == Stage::Start ? "the run could not start: "
                                                             : "") +
                                row.message;
    EXPECT_EQ(r.err, failure + "\nljgas-batch: wrote s.csv, t.csv, g.csv from the state at that point\n");
    EXPECT_EQ(test::stateLines(text("s.csv")).size(), 226u);
    EXPECT_EQ(lines(text("g.csv")).size(), 201u);
    EXPECT_EQ(lines(text("t.csv")).size(), 1u + static_cast<std::size_t>(std::max(row.step - 1, 0L) / 20));

    if (row.stage == Stage::Init) {
        const std::vector<std::string> all = test::stateLines(text("s.csv"));
        for (std::size_t k = 1; k < all.size(); ++k)
            ASSERT_EQ(all[k], std::to_string(k) + ",0,0,0,0");
        return;
    }

    // One step fewer runs to the end: the step named is exact.
    const long before = std::max(row.step - 1, 0L);
    const BatchResult previous = run(row.arguments, before, "before.csv");
    ASSERT_EQ(previous.exitCode, 0) << previous.err;
    const ParticleState failed = test::readState(folder.file("s.csv"));
    const ParticleState last = test::readState(folder.file("before.csv"));
    switch (row.stage) {
    case Stage::Start:
    case Stage::Refresh:
        // Nothing had moved in the failing step.
        EXPECT_EQ(text("s.csv"), text("before.csv"));
        break;
    case Stage::Kick:
        // The kick changes velocities only (those of the pairs kicked
        // before the failing one).
        EXPECT_EQ(failed.x, last.x);
        EXPECT_EQ(failed.y, last.y);
        break;
    default: break;
    }
}

// Stage and step as worked out in the comments.
INSTANTIATE_TEST_SUITE_P(
    Radius, BadInputTable,
    ::testing::Values(
        // R = 0: rc2 = sig6 = 0, and the bin of the first pair of step 1
        // divides by R. Rule.
        BadInput{"R_0",
                 {"--R", "0"},
                 3,
                 "Division by zero at step 1: the bin of the distance between discs 2 and 1 with R = 0",
                 1,
                 Stage::Refresh},
        // A negative R gives the same rc2 and sig6 as |R| (even powers), so
        // the warm-up runs normally; step 201 is the first to add a weight,
        // and its first bin is negative (k < 0). Rule.
        BadInput{"R_Negative",
                 {"--R", "-0.01"},
                 3,
                 "Index out of range at step 201: g(r) bin -194 of discs 2 and 1 (R is negative)",
                 201,
                 Stage::Refresh},
        // R = 1e-4: bin ratios above 32767 for r > 0.229; the lattice's
        // stretch 1 already holds pairs 0.47 apart (particles 1 and 8), so
        // the bin conversion overflows in step 1. Rule.
        BadInput{"R_1e-4",
                 {"--R", "1e-4"},
                 3,
                 "Overflow at step 1: the g(r) bin of discs 5 and 1, 3.81e+04, does not fit 16 bits (R = 0.0001 is "
                 "below about 3.1e-4)",
                 1,
                 Stage::Refresh},
        // R = 3e-4 (below 3.08e-4): the conversion overflows only for
        // r > 0.688, which no lattice pair reaches (at most 0.66); the first
        // pair to get there, in step 28, is one of stretch 8. Dynamics.
        BadInput{"R_3e-4",
                 {"--R", "3e-4"},
                 3,
                 "Overflow at step 28: the g(r) bin of discs 137 and 25, 3.29e+04, does not fit 16 bits (R = 0.0003 "
                 "is below about 3.1e-4)",
                 28,
                 Stage::Refresh},
        // Beyond single precision: the lattice start fails. Rule.
        BadInput{
            "R_1e39", {"--R", "1e39"}, 3, "Overflow: R = 1e+39 lies beyond single precision (3.4e+38)", 0, Stage::Init},
        // R = 0.5 and 0.6: sigma = 1 and 1.2, larger than the box; every pair
        // is a neighbour and step 1's kicks leave the velocities near 1e8
        // (what the lattice's symmetric forces do not cancel). Step 2's
        // drift scatters the particles, a pair lands within 0.002 and its
        // force overflows. Dynamics.
        BadInput{"R_0.5",
                 {"--R", "0.5"},
                 3,
                 "Overflow at step 2: the force between discs 107 and 21 at distance 0.004 R; at R = 0.5 discs on the "
                 "lattice overlap (its spacing 1/15 is less than 2R)",
                 2,
                 Stage::Kick},
        BadInput{"R_0.6",
                 {"--R", "0.6"},
                 3,
                 "Overflow at step 2: the force between discs 129 and 69 at distance 0.00326 R; at R = 0.6 discs on "
                 "the lattice overlap (its spacing 1/15 is less than 2R)",
                 2,
                 Stage::Kick},
        // Beyond the usual list: the other failures of the histogram and the
        // run's start.
        // R = 4e-4: bins above 20000 (r > 0.56) once the warm-up is over;
        // the first pair of stretch 1 that far apart, in step 201. Dynamics.
        BadInput{"R_4e-4",
                 {"--R", "4e-4"},
                 3,
                 "Index out of range at step 201: g(r) bin 21469 of discs 49 and 11 lies beyond the histogram's 20000 "
                 "bins (R = 0.0004 is below about 5.05e-4)",
                 201,
                 Stage::Refresh},
        // R = 1e20: rc2 = (8R)^2 overflows while the run prepares. Rule.
        BadInput{"R_1e20",
                 {"--R", "1e20"},
                 3,
                 "Overflow: the neighbour cut-off (8R)^2 with R = 1e+20, beyond single precision",
                 0,
                 Stage::Start}),
    [](const ::testing::TestParamInfo<BadInput>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

INSTANTIATE_TEST_SUITE_P(
    WellDepth, BadInputTable,
    ::testing::Values(
        // e0 beyond single precision is stored as infinity (our choice: an
        // overflow reported where it is used); the first kick of step 1 (each lattice particle
        // has four neighbours within 8R) multiplies by it. Engine.
        BadInput{"e0_1e39",
                 {"--e0", "1e39"},
                 3,
                 "Overflow at step 1: the force between discs 2 and 1 at distance 6.67 R with e0 = inf, beyond single "
                 "precision",
                 1,
                 Stage::Kick},
        // A negative well depth attracts at short range and repels at long
        // range; for 300 steps from the lattice nothing fails. Rule: no check.
        BadInput{"e0_Negative", {"--e0", "-1"}, 0, "", 0, Stage::None},
        // e0 = 0: no forces, free flight. Rule.
        BadInput{"e0_0", {"--e0", "0"}, 0, "", 0, Stage::None}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Target, BadInputTable,
    ::testing::Values(
        // Tsoll = 0: lambda = 0.95 at every application; the gas cools.
        // Rule.
        BadInput{"Tsoll_0", {"--tsoll", "0"}, 0, "", 0, Stage::None},
        // Tsoll = -1: lambda would fall below 0.95, and once T < 1/19 turn
        // negative and reverse every velocity; bounded at 1/sqrt 2, it halves
        // T at every read-out and the gas comes to rest. Rule.
        BadInput{"Tsoll_Negative", {"--tsoll", "-1"}, 0, "", 0, Stage::None},
        // Tsoll = 1e30: lambda bounded at sqrt 2 doubles T at every read-out,
        // 2^14 times the lattice's by step 280, far too fast for even the
        // finest sub-steps; in step 282 two discs of a stored pair meet, in
        // one of the step's sub-steps, after others have moved the discs.
        // Dynamics.
        BadInput{"Tsoll_1e30",
                 {"--tsoll", "1e30"},
                 3,
                 "Division by zero at step 282: the force between discs 77 and 40 at distance 0 R: they have run "
                 "into each other; the thermostat was heating the gas towards Tsoll = 1e30",
                 282,
                 Stage::Later},
        // With the thermostat off the target is never read.
        BadInput{"Tsoll_1e30_Off", {"--tsoll", "1e30", "--thermostat", "off"}, 0, "", 0, Stage::None}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Rows that need a prepared state: two particles placed by a state file.

class PlacedPair : public ::testing::Test {
protected:
    ScratchFolder folder;

    // The lattice start with particle 2 moved next to particle 1, offset by
    // (dx, 0), and given particle 1's velocity, so the two move together.
    void writePlacedState(float dx)
    {
        test::BatchLaunch launch;
        launch.folder = folder.path();
        ASSERT_EQ(test::runBatch({"--steps", "0", "--quiet", "--initial-out", "lattice.csv"}, launch).exitCode, 0);
        std::vector<std::string> all = test::stateLines(readText(folder.file("lattice.csv")));
        const ParticleState s = test::readState(folder.file("lattice.csv"));
        char line[200];
        std::snprintf(line, sizeof line, "2,%.9g,%.9g,%.9g,%.9g", static_cast<double>(s.x[0] + dx),
                      static_cast<double>(s.y[0]), static_cast<double>(s.vx[0]), static_cast<double>(s.vy[0]));
        all[2] = line;
        std::string joined;
        for (const std::string& l : all)
            joined += l + "\n";
        test::writeText(folder.file("placed.csv"), joined);
    }

    BatchResult run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.end(), {"--state-in", "placed.csv", "--steps", "300", "--quiet"});
        test::BatchLaunch launch;
        launch.folder = folder.path();
        return test::runBatch(arguments, launch);
    }
};

TEST_F(PlacedPair, CoincidentParticlesDivideByZeroInTheFirstKick)
{
    // r^2 = 0 < rc2, so the pair is a neighbour, and r^8 = 0.
    writePlacedState(0.0f);
    const BatchResult r = run({});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ljgas-batch: Division by zero at step 1: the force between discs 2 and 1 at distance 0 R: they "
                     "have run into each other\n");
    // A state with steps behind it: the message tells the two counts apart.
    test::writeText(folder.file("placed.csv"), "# steps = 1000\n" + readText(folder.file("placed.csv")));
    EXPECT_EQ(run({}).err.substr(0, 64), "ljgas-batch: Division by zero at step 1 of the run (1001 in all)");
}

TEST_F(PlacedPair, ParticlesTooCloseMakeTheForceOverflow)
{
    // 1e-5 apart with sigma = 0.02: (sigma/r)^12 / r^2 is far beyond single.
    writePlacedState(1e-5f);
    const BatchResult r = run({});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ljgas-batch: Overflow at step 1: the force between discs 2 and 1 at distance 0.001 R\n");
}

TEST_F(PlacedPair, BinZeroAfterTheWarmUpIsTheWeightOneOverZero)
{
    // 3e-5 apart, below 0.035R = 3.5e-4, with e0 = 0 so that nothing pushes
    // them apart and no thermostat to scale them differently: the pair (2, 1)
    // is the first of stretch 1, and step 201 adds its weight 1/0 (bin
    // k = 0).
    writePlacedState(3e-5f);
    const BatchResult r = run({"--e0", "0", "--thermostat", "off"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ljgas-batch: Division by zero at step 201: the weight 1/0 of g(r) bin 0: discs 2 and 1 are "
                     "0.003 R apart, closer than 0.035 R\n");
}

// ---------------------------------------------------------------------------
// The R = 3e-4 row checked against its cause: the state written when the
// run ended holds a pair of stretch 8 whose bin ratio exceeds 32767.

TEST(BadInputCause, SmallRadiusOverflowsOnAPairOfTheFailingStretch)
{
    ScratchFolder folder;
    test::BatchLaunch launch;
    launch.folder = folder.path();
    const BatchResult r = test::runBatch(
        {"--R", "3e-4", "--steps", "300", "--quiet", "--initial-out", "i.csv", "--state-out", "s.csv"}, launch);
    ASSERT_EQ(r.exitCode, 3);
    ASSERT_EQ(r.err,
              "ljgas-batch: Overflow at step 28: the g(r) bin of discs 137 and 25, 3.29e+04, does not fit 16 bits "
              "(R = 0.0003 is below about 3.1e-4)\n"
              "ljgas-batch: wrote i.csv, s.csv from the state at that point\n");

    // The bin ratio of each pair, in the order of the pair sequence
    // (2,1), (3,1), (3,2), ...
    const double R = 3e-4f;
    const auto ratios = [R](const ParticleState& s) {
        std::vector<double> result;
        for (int i = 2; i <= ParticleCount; ++i) {
            for (int j = 1; j < i; ++j) {
                const auto a = static_cast<std::size_t>(i - 1);
                const auto b = static_cast<std::size_t>(j - 1);
                const double r2 = Radius2(s.x[a], s.x[b], s.y[a], s.y[b]);
                result.push_back(std::sqrt(r2) / R / 14.0 * 200);
            }
        }
        return result;
    };
    const auto overflows = [](double ratio) { return std::nearbyint(ratio) > 32767.0; };

    // On the lattice no pair is far enough apart, so step 1 cannot fail.
    const std::vector<double> lattice = ratios(test::readState(folder.file("i.csv")));
    EXPECT_TRUE(std::none_of(lattice.begin(), lattice.end(), overflows));
    // Step 28 refreshes slice 8, pairs 7 * 1260 + 1 to 8 * 1260, from the
    // positions the state file holds: one of them overflows.
    const std::vector<double> failing = ratios(test::readState(folder.file("s.csv")));
    EXPECT_TRUE(std::any_of(failing.begin() + 7 * 1260, failing.begin() + 8 * 1260, overflows));
}

}  // namespace
}  // namespace ljgas
