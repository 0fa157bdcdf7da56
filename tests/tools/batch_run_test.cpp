// ljgas-batch run as a subprocess: exit statuses and their messages, the
// formats of the files it writes, what a state file carries from one run to
// the next, and what is (not) left on disk when it fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "batch_process.h"
#include "engine/lattice.h"
#include "engine/observables.h"
#include "engine/record.h"
#include "engine/run.h"
#include "files/lammps_export.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "files/trajectory_file.h"
#include "runtime/random_sequence.h"
#include "session/session.h"
#include "version.h"

namespace ljgas {
namespace {

using test::BatchResult;
using test::fileExists;
using test::lines;
using test::readText;
using test::ScratchFolder;
using test::writeText;

// A scratch folder that the tool runs in, so that file names are relative.
class Batch : public ::testing::Test {
protected:
    ScratchFolder folder;

    BatchResult run(const std::vector<std::string>& arguments, test::BatchLaunch launch = {})
    {
        launch.folder = folder.path();
        return test::runBatch(arguments, launch);
    }
    std::string text(const std::string& name) const { return readText(folder.file(name)); }
    std::string path(const std::string& name) const { return folder.file(name); }
    ParticleState state(const std::string& name) const { return test::readState(folder.file(name)); }
};

constexpr int StateLines = 1 + ParticleCount;
constexpr int DistributionLines = 1 + PlotBins;

// "step,T" rows of a temperature file.
struct TemperatureRow {
    long step;
    float T;
};

std::vector<TemperatureRow> temperatureRows(const std::string& text)
{
    std::vector<TemperatureRow> rows;
    const std::vector<std::string> all = lines(text);
    for (std::size_t i = 1; i < all.size(); ++i) {
        const std::size_t comma = all[i].find(',');
        rows.push_back({std::stol(all[i].substr(0, comma)), std::strtof(all[i].c_str() + comma + 1, nullptr)});
    }
    return rows;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        result.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return result;
        start = comma + 1;
    }
}

std::string printfG9(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// ---------------------------------------------------------------------------
// Success.

TEST_F(Batch, SuccessWritesEveryRequestedFileAndNothingElse)
{
    const BatchResult r = run({"--steps", "300", "--quiet", "--initial-out", "i.csv", "--state-out", "s.csv",
                               "--temperature-out", "t.csv", "--gr-out", "g.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");  // --quiet: no summary
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"g.csv", "i.csv", "s.csv", "t.csv"}));

    const std::vector<std::string> initial = test::stateLines(text("i.csv"));
    const std::vector<std::string> final = test::stateLines(text("s.csv"));
    const std::vector<std::string> temperatures = lines(text("t.csv"));
    const std::vector<std::string> distribution = lines(text("g.csv"));
    ASSERT_EQ(initial.size(), StateLines);
    ASSERT_EQ(final.size(), StateLines);
    ASSERT_EQ(temperatures.size(), 1u + 300 / 20);
    ASSERT_EQ(distribution.size(), DistributionLines);
    EXPECT_EQ(initial[0], "k,x,y,vx,vy");
    EXPECT_EQ(final[0], "k,x,y,vx,vy");
    EXPECT_EQ(temperatures[0], "step,T");
    EXPECT_EQ(distribution[0], "bin,r,g,g_norm");
    for (int k = 1; k <= ParticleCount; ++k) {
        EXPECT_EQ(fields(initial[static_cast<std::size_t>(k)])[0], std::to_string(k));
        EXPECT_EQ(fields(final[static_cast<std::size_t>(k)])[0], std::to_string(k));
    }
}

TEST_F(Batch, SummaryOnStdoutAndNoProgressBarWhenStderrIsNoTerminal)
{
    const BatchResult r = run({"--steps", "40"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> summary = lines(r.out);
    ASSERT_EQ(summary.size(), 7u) << r.out;
    EXPECT_EQ(summary[0], "steps             40");
    EXPECT_EQ(summary[1].rfind("last temperature  0.", 0), 0u) << summary[1];
    EXPECT_EQ(summary[2].rfind("time              ", 0), 0u) << summary[2];
    EXPECT_EQ(summary[3].rfind("steps per second  ", 0), 0u) << summary[3];
    EXPECT_EQ(summary[4], "guarded pairs     0");
    EXPECT_EQ(summary[5], "sub-stepped steps 0");
    EXPECT_EQ(summary[6], "most sub-steps    1");
}

TEST_F(Batch, SummarySaysWhenNoTemperatureWasShown)
{
    const BatchResult r = run({"--steps", "19"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("last temperature  none shown\n"), std::string::npos) << r.out;
}

TEST_F(Batch, ProgressBarOnlyOnATerminalAndOnlyWithoutQuiet)
{
    // A run far too long to finish, stopped with SIGTERM once the bar has
    // been drawn (its first redraw comes a tenth of a second in), or after
    // 30 s, which fails the test.
    test::BatchLaunch terminal;
    terminal.stderrOnTerminal = true;
    terminal.terminateWhenShown = "steps/s";
    terminal.terminateAfterMilliseconds = 30000;
    const BatchResult shown = run({"--steps", "100000000", "--state-out", "s.csv"}, terminal);
    ASSERT_EQ(shown.exitCode, 128 + SIGTERM) << shown.err;
    EXPECT_EQ(shown.err.rfind("\r[", 0), 0u) << shown.err;
    EXPECT_NE(shown.err.find("/100000000 steps"), std::string::npos) << shown.err;
    // The bar's line is cleared before the closing message; a terminal
    // shows the message's line end as CR LF.
    const std::size_t cleared = shown.err.find("\r\033[Kljgas-batch: interrupted; the run was stopped after step ");
    ASSERT_NE(cleared, std::string::npos) << shown.err;
    EXPECT_EQ(shown.err.find('\n'), shown.err.size() - 1) << shown.err;
    EXPECT_TRUE(shown.err.ends_with(" and s.csv written\r\n")) << shown.err;

    // With --quiet nothing but the closing message, however long it runs.
    terminal.terminateWhenShown.clear();
    terminal.terminateAfterMilliseconds = 500;
    const BatchResult quiet = run({"--steps", "100000000", "--quiet"}, terminal);
    ASSERT_EQ(quiet.exitCode, 128 + SIGTERM) << quiet.err;
    EXPECT_EQ(quiet.err.rfind("ljgas-batch: interrupted; the run was stopped after step ", 0), 0u) << quiet.err;
    EXPECT_EQ(quiet.err.find('\r'), quiet.err.size() - 2) << quiet.err;
    EXPECT_EQ(quiet.out, "");
}

TEST_F(Batch, HelpGoesToStdout)
{
    const BatchResult r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("Usage: ljgas-batch"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("--temperature-out"), std::string::npos) << r.out;
}

TEST_F(Batch, VersionGoesToStdout)
{
    const BatchResult r = run({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, std::string("ljgas-batch ") + Version + "\n");
}

// ---------------------------------------------------------------------------
// File formats.

TEST_F(Batch, InitialStateIsTheLatticeWithMeanFreeVelocities)
{
    const BatchResult r = run({"--steps", "0", "--initial-out", "i.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const ParticleState s = state("i.csv");
    // Particle k sits in column (k-1)/15 + 1 and row (k-1) % 15 + 1.
    for (int k = 1; k <= ParticleCount; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        const int column = (k - 1) / 15 + 1;
        const int row = (k - 1) % 15 + 1;
        ASSERT_EQ(s.x[i], static_cast<float>((column - 0.5) / 15)) << "particle " << k;
        ASSERT_EQ(s.y[i], static_cast<float>((row - 0.5) / 15)) << "particle " << k;
    }
    EXPECT_EQ(s.x[0], static_cast<float>(1.0 / 30));
    EXPECT_EQ(s.y[1], 0.1f);
    EXPECT_EQ(s.x[15], 0.1f);
    EXPECT_EQ(s.x[224], static_cast<float>(29.0 / 30));
    EXPECT_EQ(s.y[224], static_cast<float>(29.0 / 30));

    double sumX = 0.0;
    double sumY = 0.0;
    for (std::size_t i = 0; i < ParticleCount; ++i) {
        // Each component was drawn in [-0.5, 0.5) and then shifted by the
        // mean, which is small for 225 draws.
        EXPECT_LT(std::fabs(s.vx[i]), 0.6f);
        EXPECT_LT(std::fabs(s.vy[i]), 0.6f);
        sumX += s.vx[i];
        sumY += s.vy[i];
    }
    // Zero up to single-precision rounding of 225 shifts.
    constexpr double MomentumTolerance = 1e-5;
    EXPECT_NEAR(sumX, 0.0, MomentumTolerance);
    EXPECT_NEAR(sumY, 0.0, MomentumTolerance);
}

TEST_F(Batch, EveryNumberIsPrintedWithNineSignificantDigits)
{
    const BatchResult r = run({"--steps", "300", "--quiet", "--initial-out", "i.csv", "--state-out", "s.csv",
                               "--temperature-out", "t.csv", "--gr-out", "g.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Every float field reads back to a float whose %.9g is the field itself.
    for (const char* name : {"i.csv", "s.csv", "t.csv"}) {
        const std::vector<std::string> all = test::stateLines(text(name));
        for (std::size_t n = 1; n < all.size(); ++n) {
            const std::vector<std::string> row = fields(all[n]);
            for (std::size_t f = 1; f < row.size(); ++f) {
                const float value = std::strtof(row[f].c_str(), nullptr);
                ASSERT_EQ(printfG9(value), row[f]) << name << " line " << n + 1;
            }
        }
    }
    // The distribution's r and g_norm are doubles, g a float; all %.9g.
    const std::vector<std::string> all = lines(text("g.csv"));
    for (std::size_t n = 1; n < all.size(); ++n) {
        const std::vector<std::string> row = fields(all[n]);
        ASSERT_EQ(row.size(), 4u);
        EXPECT_EQ(row[0], std::to_string(n));
        EXPECT_EQ(row[1], printfG9(static_cast<double>(n) * 0.07 * static_cast<double>(0.01f)));
        EXPECT_EQ(printfG9(std::strtof(row[2].c_str(), nullptr)), row[2]);
        EXPECT_EQ(printfG9(std::strtod(row[3].c_str(), nullptr)), row[3]);
    }
}

TEST_F(Batch, TemperatureIsShownEveryTwentiethStepUpToTheLast)
{
    for (const int steps : {19, 20, 39, 300, 301}) {
        const std::string name = "t" + std::to_string(steps) + ".csv";
        const BatchResult r = run({"--steps", std::to_string(steps), "--quiet", "--temperature-out", name});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::vector<TemperatureRow> rows = temperatureRows(text(name));
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(steps / 20)) << steps;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].step, 20 * static_cast<long>(i + 1));
            EXPECT_GT(rows[i].T, 0.0f);
        }
    }
}

TEST_F(Batch, FreeFlightFollowsTheDriftRuleBitForBit)
{
    // e0 = 0 (an empty box) and no thermostat: no force and no rescaling, so
    // every velocity keeps its value and each step moves every particle by
    // dt * v, rounded to single, with the strict single wrap.
    constexpr int Steps = 57;
    const BatchResult r = run({"--e0", "0", "--thermostat", "off", "--steps", std::to_string(Steps), "--quiet",
                               "--initial-out", "i.csv", "--state-out", "s.csv", "--temperature-out", "t.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ParticleState expected = state("i.csv");
    const double dt = 0.001f;
    const auto wrap = [](float c) {
        if (c > 1.0f)
            c = static_cast<float>(static_cast<double>(c) - 1.0);
        if (c < 0.0f)
            c = static_cast<float>(static_cast<double>(c) + 1.0);
        return c;
    };
    for (int step = 0; step < Steps; ++step) {
        for (std::size_t i = 0; i < ParticleCount; ++i) {
            expected.x[i] = wrap(static_cast<float>(dt * expected.vx[i] + expected.x[i]));
            expected.y[i] = wrap(static_cast<float>(dt * expected.vy[i] + expected.y[i]));
        }
    }
    const ParticleState actual = state("s.csv");
    EXPECT_EQ(actual.vx, expected.vx);
    EXPECT_EQ(actual.vy, expected.vy);
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);

    // With constant velocities every 20-step window has the same kinetic
    // sum, accumulated as the run loop does, once per particle and step.
    float v2sum = 0.0f;
    for (int step = 0; step < 20; ++step) {
        for (std::size_t i = 0; i < ParticleCount; ++i) {
            const double u = expected.vx[i];
            const double w = expected.vy[i];
            v2sum = static_cast<float>(u * u + v2sum + w * w);
        }
    }
    const float T = static_cast<float>(static_cast<double>(v2sum) / ParticleCount / 20);
    const std::vector<TemperatureRow> rows = temperatureRows(text("t.csv"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].T, T);
    EXPECT_EQ(rows[1].T, T);
}

TEST_F(Batch, DistributionIsZeroUntilTheWarmUpEnds)
{
    const BatchResult r = run({"--steps", "200", "--quiet", "--gr-out", "g.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> all = lines(text("g.csv"));
    ASSERT_EQ(all.size(), DistributionLines);
    for (std::size_t n = 1; n < all.size(); ++n) {
        EXPECT_EQ(fields(all[n])[2], "0") << all[n];
        EXPECT_EQ(fields(all[n])[3], "0") << all[n];
    }
}

TEST_F(Batch, DistributionShowsTheLiquidsFirstShell)
{
    // 4000 steps: 190 sweeps over all pairs after the warm-up.
    const BatchResult r = run({"--steps", "4000", "--quiet", "--gr-out", "g.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<double> normalised;
    const std::vector<std::string> all = lines(text("g.csv"));
    for (std::size_t n = 1; n < all.size(); ++n)
        normalised.push_back(std::strtod(fields(all[n])[3].c_str(), nullptr));
    ASSERT_EQ(normalised.size(), static_cast<std::size_t>(PlotBins));

    // Inside 0.8 sigma = 1.6R (bin 22) the repulsion keeps every pair out.
    for (std::size_t k = 1; k <= 22; ++k)
        EXPECT_EQ(normalised[k - 1], 0.0) << "bin " << k;
    // The peak lies near the potential's minimum, 2^(1/6) sigma = 2.245R,
    // bin 32; bins 28..36 span 1.96R..2.52R.
    const auto peak = std::max_element(normalised.begin(), normalised.end());
    const long peakBin = peak - normalised.begin() + 1;
    EXPECT_GE(peakBin, 28);
    EXPECT_LE(peakBin, 36);
    EXPECT_GT(*peak, 2.0);
    // Far out, 10.5R to 14R, the pairs are uncorrelated: g_norm near 1.
    constexpr double FarFieldTolerance = 0.1;
    double far = 0.0;
    for (std::size_t k = 151; k <= 200; ++k)
        far += normalised[k - 1];
    EXPECT_NEAR(far / 50, 1.0, FarFieldTolerance);
}

TEST_F(Batch, StandardOutputCarriesAnOutput)
{
    // "--state-out /dev/stdout", reached through a link in the scratch
    // folder: should the in-place rule for non-regular paths ever break, a
    // rename replaces that link and not the system's /dev/stdout.
    std::filesystem::create_symlink("/dev/stdout", path("stdout"));
    const BatchResult r = run({"--steps", "0", "--quiet", "--state-out", "stdout", "--initial-out", "i.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, text("i.csv"));
    EXPECT_TRUE(std::filesystem::is_symlink(path("stdout")));
}

// ---------------------------------------------------------------------------
// State files from one run to the next.

TEST_F(Batch, StepsZeroMakesNoRun)
{
    const BatchResult r = run({"--steps", "0", "--initial-out", "i.csv", "--state-out", "s.csv", "--temperature-out",
                               "t.csv", "--gr-out", "g.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");  // no run, no summary
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(text("s.csv"), text("i.csv"));
    EXPECT_EQ(text("t.csv"), "step,T\n");
    const std::vector<std::string> all = lines(text("g.csv"));
    ASSERT_EQ(all.size(), DistributionLines);
    // Bin 29 is centred on 29 * 0.07R, R = 0.01 in single precision.
    EXPECT_EQ(all[29], "29,0.0202999995,0,0");
}

TEST_F(Batch, StateReadBackWithoutARunIsWrittenOutUnchanged)
{
    ASSERT_EQ(run({"--steps", "300", "--quiet", "--initial-out", "i.csv", "--state-out", "s.csv"}).exitCode, 0);
    const BatchResult r = run(
        {"--state-in", "s.csv", "--steps", "0", "--quiet", "--state-out", "s2.csv", "--initial-out", "i2.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Every float survives the file and the record bit for bit...
    EXPECT_EQ(text("s2.csv"), text("s.csv"));
    // ...and the initial state stays the lattice start, before the file's
    // state replaces it.
    EXPECT_EQ(text("i2.csv"), text("i.csv"));
    EXPECT_NE(text("i2.csv"), text("s.csv"));
}

TEST_F(Batch, StateMayBeReadFromAndWrittenToOneFile)
{
    ASSERT_EQ(run({"--steps", "100", "--quiet", "--state-out", "s.csv"}).exitCode, 0);
    const std::string before = text("s.csv");
    const BatchResult r = run({"--state-in", "s.csv", "--steps", "0", "--quiet", "--state-out", "s.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(text("s.csv"), before);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"s.csv"});
}

TEST_F(Batch, RunFromTheInitialFileEqualsTheRunFromTheLattice)
{
    // Over 300 steps of a chaotic gas, any bit lost in the file would show.
    ASSERT_EQ(run({"--steps", "300", "--quiet", "--initial-out", "i.csv", "--state-out", "a.csv", "--temperature-out",
                   "ta.csv", "--gr-out", "ga.csv"})
                  .exitCode,
              0);
    const BatchResult r = run({"--state-in", "i.csv", "--steps", "300", "--quiet", "--state-out", "b.csv",
                               "--temperature-out", "tb.csv", "--gr-out", "gb.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(text("b.csv"), text("a.csv"));
    EXPECT_EQ(text("tb.csv"), text("ta.csv"));
    EXPECT_EQ(text("gb.csv"), text("ga.csv"));
}

// Time runs backwards exactly: the conserving dynamics without the
// thermostat, reversed after half the steps, ends on the lattice, bit for
// bit; its state file names the dynamics, and a run from it takes it.
TEST_F(Batch, ConservingRunReversedComesBackToItsStartAndItsFileSaysSo)
{
    ASSERT_EQ(run({"--steps", "0", "--quiet", "--state-out", "lattice.csv"}).exitCode, 0);
    const BatchResult r = run({"--dynamics", "conserving", "--thermostat", "off", "--steps", "3000", "--reverse-at",
                               "1500", "--quiet", "--state-out", "back.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const ParticleState start = state("lattice.csv");
    const ParticleState back = state("back.csv");
    EXPECT_EQ(back.x, start.x);
    EXPECT_EQ(back.y, start.y);
    EXPECT_EQ(back.parameters.dynamics, Dynamics::Conserving);
    ASSERT_EQ(run({"--state-in", "back.csv", "--steps", "20", "--quiet", "--state-out", "on.csv"}).exitCode, 0);
    EXPECT_NE(text("on.csv").find("# dynamics = conserving\n"), std::string::npos);
}

TEST_F(Batch, ContinuingFromAStateFileIsPressingGoAgain)
{
    // In the window: Go, Stop after step 200, Go, Stop after 100 more steps.
    Session session;
    session.initialize();
    for (const int steps : {200, 100}) {
        session.start();
        for (int k = 0; k < steps; ++k)
            session.step();
        session.endRuns();
    }
    ASSERT_EQ(session.steps(), 300);

    // In batch: the first run's state file carries everything the second
    // run needs, so the second batch run is that second Go.
    ASSERT_EQ(run({"--steps", "200", "--quiet", "--state-out", "a.csv"}).exitCode, 0);
    const BatchResult r = run({"--state-in", "a.csv", "--steps", "100", "--quiet", "--state-out", "b.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(text("b.csv"), stateFileText(session.record(), session.stateParameters()));

    // A second Go rebuilds the neighbour list and restarts the temperature
    // window: not the same as one run of 300 steps.
    ASSERT_EQ(run({"--steps", "300", "--quiet", "--state-out", "c.csv"}).exitCode, 0);
    EXPECT_NE(text("b.csv"), text("c.csv"));
}

// A state file names the parameters it was written with: the next run takes
// them, counts its steps on from the file's, and says so when the command
// line overrides one.
TEST_F(Batch, StateInSetsTheParametersItNamesUnlessTheCommandLineGivesThem)
{
    ASSERT_EQ(
        run({"--R", "0.012", "--e0", "0.3", "--thermostat", "off", "--steps", "200", "--quiet", "--state-out", "a.csv"})
            .exitCode,
        0);
    const BatchResult taken = run({"--state-in", "a.csv", "--steps", "100", "--quiet", "--state-out", "b.csv"});
    ASSERT_EQ(taken.exitCode, 0) << taken.err;
    EXPECT_EQ(taken.err, "");
    const BatchResult given = run({"--state-in", "a.csv", "--R", "0.012", "--e0", "0.3", "--thermostat", "off",
                                   "--steps", "100", "--quiet", "--state-out", "c.csv"});
    ASSERT_EQ(given.exitCode, 0) << given.err;
    EXPECT_EQ(given.err, "");
    EXPECT_EQ(text("b.csv"), text("c.csv"));
    EXPECT_NE(text("b.csv").find("# R = 0.012\n# e0 = 0.3\n# Tsoll = 0.3\n# thermostat = off\n# steps = 300\n"),
              std::string::npos);

    // The count goes on up to the most a state file records, and no further.
    std::string before = text("a.csv");
    before.replace(before.find("steps = 200"), 11, "steps = 9007199254740792");
    test::writeText(folder.file("a.csv"), before);
    ASSERT_EQ(run({"--state-in", "a.csv", "--steps", "200", "--quiet", "--state-out", "d.csv"}).exitCode, 0);
    EXPECT_EQ(state("d.csv").parameters.steps, MostSteps);
    const BatchResult beyond = run({"--state-in", "d.csv", "--steps", "1", "--quiet", "--state-out", "e.csv"});
    EXPECT_EQ(beyond.exitCode, 2);
    EXPECT_NE(beyond.err.find("with the 9007199254740992 steps behind 'd.csv', the state would have more"),
              std::string::npos)
        << beyond.err;
    EXPECT_FALSE(test::fileExists(folder.file("e.csv")));

    const BatchResult overridden = run({"--state-in", "a.csv", "--R", "0.015", "--steps", "0", "--quiet"});
    EXPECT_EQ(overridden.err, "ljgas-batch: note: 'a.csv' names R = 0.012; --R 0.015 overrides it: discs placed apart "
                              "at R = 0.012 may overlap at R = 0.015\n");
}

// The trajectory's frames: the first state, every --every steps, and the
// last, also when an engine error ends the run (R < 0 fails in step 201,
// before anything moves in it), or when there is no run; a file named
// .lammpstrj gets LAMMPS's dump.
TEST_F(Batch, TrajectoryHasTheFirstEveryNthAndTheLastState)
{
    const BatchResult failed = run({"--R", "-0.01", "--steps", "300", "--quiet", "--trajectory-out", "t.xyz", "--every",
                                    "100", "--state-out", "s.csv"});
    ASSERT_EQ(failed.exitCode, 3);
    EXPECT_EQ(test::frameSteps(text("t.xyz")), (std::vector<std::string>{"0", "100", "200", "201"}));
    auto rec = std::make_unique<Record>();
    rec->n = ParticleCount;
    applyState(*rec, state("s.csv"));
    const std::string all = text("t.xyz");
    EXPECT_EQ(all.substr(all.rfind("225\n", all.size() - 2)),
              trajectoryFrame(TrajectoryFormat::ExtendedXyz, *rec, 201, 0.2f));

    ASSERT_EQ(run({"--steps", "0", "--trajectory-out", "none.lammpstrj", "--state-out", "l.csv"}).exitCode, 0);
    applyState(*rec, state("l.csv"));
    EXPECT_EQ(text("none.lammpstrj"), trajectoryFrame(TrajectoryFormat::LammpsDump, *rec, 0, 0.2f));
}

TEST_F(Batch, IdenticalInvocationsWriteIdenticalFiles)
{
    const std::vector<std::string> names = {"i.csv", "s.csv", "t.csv", "g.csv"};
    for (const char* round : {"1", "2"}) {
        const BatchResult r = run({"--steps", "1000", "--quiet", "--initial-out", std::string("i.csv") + round,
                                   "--state-out", std::string("s.csv") + round, "--temperature-out",
                                   std::string("t.csv") + round, "--gr-out", std::string("g.csv") + round});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    for (const std::string& name : names) {
        EXPECT_EQ(text(name + "1"), text(name + "2")) << name;
        EXPECT_FALSE(text(name + "1").empty());
    }
}

TEST_F(Batch, SeedsGiveReplicasOfTheirOwn)
{
    for (const auto& [seed, name] : {std::pair{"1", "one.csv"}, {"1", "again.csv"}, {"2", "two.csv"}})
        ASSERT_EQ(run({"--steps", "0", "--seed", seed, "--initial-out", name}).exitCode, 0);
    const ParticleState one = state("one.csv");
    const ParticleState two = state("two.csv");
    EXPECT_EQ(text("again.csv"), text("one.csv"));
    EXPECT_EQ(one.x, two.x);  // the same lattice, other velocities
    for (std::size_t i = 0; i < ParticleCount; ++i)
        EXPECT_NE(one.vx[i], two.vx[i]) << i;
}

TEST_F(Batch, EquilibrationMovesTheMeansAndGNormButNotTheHistogram)
{
    ASSERT_EQ(run({"--steps", "400", "--quiet", "--gr-out", "g400.csv"}).exitCode, 0);
    ASSERT_EQ(run({"--steps", "1000", "--quiet", "--gr-out", "g.csv"}).exitCode, 0);
    const BatchResult r = run(
        {"--steps", "1000", "--equilibrate", "400", "--thermo-out", "thermo.csv", "--gr-out", "geq.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("(30 read-outs after step 400)"), std::string::npos) << r.out;

    // g is the engine's sum from step 201 either way; g_norm counts what the
    // bins gained after step 400, over the 600 * 1260 pairs binned since.
    const std::vector<std::string> at400 = lines(text("g400.csv"));
    const std::vector<std::string> plain = lines(text("g.csv"));
    const std::vector<std::string> equilibrated = lines(text("geq.csv"));
    const double w = 0.07 * static_cast<double>(0.01f);
    const double ideal = 600.0 * 1260.0 * 2.0 * std::numbers::pi * w * w;
    for (std::size_t n = 1; n < equilibrated.size(); ++n) {
        const std::vector<std::string> row = fields(equilibrated[n]);
        EXPECT_EQ(row[2], fields(plain[n])[2]);
        const double gained = static_cast<double>(std::strtof(row[2].c_str(), nullptr)) -
                              static_cast<double>(std::strtof(fields(at400[n])[2].c_str(), nullptr));
        EXPECT_EQ(row[3], printfG9(gained / ideal)) << equilibrated[n];
    }
}

TEST_F(Batch, FullDeviceIsExitOneNamingItAndTheOtherOutputsAreWritten)
{
    std::filesystem::create_symlink("/dev/full", path("full"));
    const BatchResult r = run({"--steps", "0", "--quiet", "--state-out", "full", "--initial-out", "i.csv"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ljgas-batch: cannot write 'full': No space left on device\n");
    EXPECT_EQ(test::stateLines(text("i.csv")).size(), StateLines);
}

// ---------------------------------------------------------------------------
// Usage and input errors: exit 2, one line on stderr naming the problem, and
// no output file created or changed.

struct UsageError {
    const char* name;
    std::vector<std::string> arguments;
    std::string message;  // stderr, after "ljgas-batch: " and up to the line end
};

std::ostream& operator<<(std::ostream& out, const UsageError& row) { return out << row.name; }

class BatchUsageError : public Batch, public ::testing::WithParamInterface<UsageError> {
protected:
    // The files the tests prepare: a good state and damaged ones.
    void SetUp() override
    {
        ASSERT_EQ(run({"--steps", "0", "--quiet", "--state-out", "good.csv"}).exitCode, 0);
        // Without its comment lines, so that line n holds particle n - 1.
        const std::vector<std::string> good = test::stateLines(text("good.csv"));
        const auto write = [this, &good](const std::string& name, int lineNumber, const std::string& replacement,
                                         std::size_t keep) {
            std::string joined;
            for (std::size_t i = 0; i < std::min(keep, good.size()); ++i)
                joined += (static_cast<int>(i) + 1 == lineNumber ? replacement : good[i]) + "\n";
            writeText(path(name), joined);
        };
        write("malformed.csv", 42, "41,0.5,0.5,0.1", good.size());
        write("short.csv", 0, "", good.size() - 1);
        write("nan.csv", 100, "99,0.5,nan,0.1,0.1", good.size());
        write("duplicate.csv", 9, "7,0.5,0.5,0.1,0.1", good.size());
        write("long.csv", 0, "", good.size());
        writeText(path("long.csv"), readText(path("long.csv")) + "226,0.5,0.5,0.1,0.1\n");
        std::filesystem::create_directory(path("folder"));
        ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
        // An output from an earlier run, which a failed run must not touch.
        writeText(path("old.csv"), "earlier\n");
        before = folder.entries();
    }

    std::vector<std::string> before;
};

TEST_P(BatchUsageError, ExitsTwoNamingTheProblemAndWritesNothing)
{
    std::vector<std::string> arguments = GetParam().arguments;
    for (const char* output : {"--initial-out", "--state-out", "--temperature-out", "--gr-out"}) {
        if (std::find(arguments.begin(), arguments.end(), output) != arguments.end())
            continue;
        arguments.push_back(output);
        arguments.push_back(output == std::string("--state-out") ? "old.csv" : std::string(output + 2) + ".csv");
    }
    const BatchResult r = run(arguments);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "ljgas-batch: " + GetParam().message + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(folder.entries(), before);
    EXPECT_EQ(text("old.csv"), "earlier\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchUsageError,
    ::testing::Values(
        UsageError{"UnknownOption", {"--stpes", "10"}, "unknown option: --stpes 10 (see ljgas-batch --help)"},
        UsageError{"MissingValue",
                   {"--steps", "10", "--R"},
                   "--R: needs a value, not the option --initial-out (see ljgas-batch --help)"},
        UsageError{"MissingFileName",
                   {"--temperature-out", "--quiet"},
                   "--temperature-out: needs a value, not the option --quiet (see ljgas-batch --help)"},
        UsageError{"BadStepCount",
                   {"--steps", "ten"},
                   "--steps: 'ten' is not a whole number from 0 to 9223372036854775807 (see ljgas-batch --help)"},
        UsageError{"BadThermostat", {"--thermostat", "1"}, "--thermostat: 1 not in {on,off} (see ljgas-batch --help)"},
        UsageError{"NotANumber", {"--tsoll", "abc"}, "--tsoll: 'abc' is not a number (see ljgas-batch --help)"},
        UsageError{"StrayArgument", {"good.csv"}, "unexpected argument: good.csv (see ljgas-batch --help)"},
        UsageError{"StateFileMissing",
                   {"--state-in", "absent.csv"},
                   "cannot open state file 'absent.csv': No such file or directory"},
        UsageError{
            "StateFileIsAFolder", {"--state-in", "folder"}, "cannot read state file 'folder': it is a directory"},
        UsageError{"StateFileIsAFifo",
                   {"--state-in", "fifo"},
                   "cannot read state file 'fifo': it is not a regular file (a FIFO, a device or a socket)"},
        UsageError{"StateFileMalformedLine",
                   {"--state-in", "malformed.csv"},
                   "malformed.csv:42: expected 5 fields k,x,y,vx,vy, found 4"},
        UsageError{"StateFileTooFewParticles",
                   {"--state-in", "short.csv"},
                   "short.csv:226: the file ends after 224 particles; expected 225"},
        UsageError{"StateFileTooManyParticles",
                   {"--state-in", "long.csv"},
                   "long.csv:227: unexpected line after particle 225"},
        UsageError{"StateFileNotANumber", {"--state-in", "nan.csv"}, "nan.csv:100: y value 'nan' is not finite"},
        UsageError{"StateFileDuplicateParticle",
                   {"--state-in", "duplicate.csv"},
                   "duplicate.csv:9: particle number 7, expected 8"},
        UsageError{"OutputFolderMissing",
                   {"--gr-out", "absent/g.csv"},
                   "cannot create 'absent/g.csv': No such file or directory"},
        UsageError{"OutputIsAFolder", {"--gr-out", "folder"}, "'folder' is a directory"},
        UsageError{"TwoOutputsOneFile",
                   {"--gr-out", "old.csv"},
                   "--state-out and --gr-out name the same file 'old.csv' (see ljgas-batch --help)"},
        UsageError{"OutputOverTheInput",
                   {"--state-in", "good.csv", "--gr-out", "good.csv"},
                   "--gr-out: 'good.csv' is the input state file of --state-in, which it would overwrite "
                   "(see ljgas-batch --help)"},
        UsageError{
            "LammpsFolderUnderAFile", {"--lammps-out", "old.csv/deck"}, "cannot write into 'old.csv': not a folder"}),
    [](const ::testing::TestParamInfo<UsageError>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Engine errors: exit 3, the error and its step on stderr, and every
// requested file written from the record as the error left it.

TEST_F(Batch, EngineErrorWritesEveryRequestedFileAndNamesThem)
{
    // R = 0: the first pair's bin divides by zero in step 1, before any
    // particle has moved.
    const BatchResult r = run({"--R", "0", "--steps", "300", "--initial-out", "i.csv", "--state-out", "s.csv",
                               "--temperature-out", "t.csv", "--gr-out", "g.csv"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err,
              "ljgas-batch: Division by zero at step 1: the bin of the distance between discs 2 and 1 with R = 0\n"
              "ljgas-batch: wrote i.csv, s.csv, t.csv, g.csv from the state at that point\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"g.csv", "i.csv", "s.csv", "t.csv"}));
    EXPECT_EQ(text("s.csv"), text("i.csv"));
    EXPECT_EQ(text("t.csv"), "step,T\n");
    const std::vector<std::string> all = lines(text("g.csv"));
    ASSERT_EQ(all.size(), DistributionLines);
    for (std::size_t n = 1; n < all.size(); ++n)
        EXPECT_EQ(all[n], std::to_string(n) + ",0,0,0");
}

TEST_F(Batch, EngineErrorLaterInTheRunKeepsTheTemperaturesShownSoFar)
{
    // R < 0: the warm-up runs, and the first weight, in step 201, falls in a
    // negative bin. The refresh fails before anything moves.
    const BatchResult r = run(
        {"--R", "-0.01", "--steps", "300", "--temperature-out", "t.csv", "--state-out", "s.csv", "--gr-out", "g.csv"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ljgas-batch: Index out of range at step 201: g(r) bin -194 of discs 2 and 1 (R is negative)\n"
                     "ljgas-batch: wrote s.csv, t.csv, g.csv from the state at that point\n");
    const std::vector<TemperatureRow> rows = temperatureRows(text("t.csv"));
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows.back().step, 200);
    ASSERT_EQ(run({"--R", "-0.01", "--steps", "200", "--quiet", "--state-out", "at200.csv"}).exitCode, 0);
    EXPECT_EQ(text("s.csv"), text("at200.csv"));
}

TEST_F(Batch, InitialisationErrorWritesTheRecordAsItStood)
{
    // R beyond single precision: the lattice start fails before placing any
    // particle, so the record still holds the zeros it was created with.
    const BatchResult r = run({"--R", "1e39", "--initial-out", "i.csv", "--state-out", "s.csv"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ljgas-batch: initialisation failed: Overflow: R = 1e+39 lies beyond single precision (3.4e+38)\n"
                     "ljgas-batch: wrote i.csv, s.csv from the state at that point\n");
    const std::vector<std::string> all = test::stateLines(text("s.csv"));
    ASSERT_EQ(all.size(), StateLines);
    for (int k = 1; k <= ParticleCount; ++k)
        ASSERT_EQ(all[static_cast<std::size_t>(k)], std::to_string(k) + ",0,0,0,0");
    EXPECT_EQ(text("i.csv"), text("s.csv"));
}

TEST_F(Batch, EngineErrorWithoutOutputsIsOneLine)
{
    const BatchResult r = run({"--R", "0", "--quiet"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err,
              "ljgas-batch: Division by zero at step 1: the bin of the distance between discs 2 and 1 with R = 0\n");
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(Batch, RunStartErrorIsStepZero)
{
    // R = 1e20 fits single precision, but the cut-off (8R)^2 does not: the
    // run fails while it prepares, before its first step.
    const BatchResult r = run({"--R", "1e20", "--state-out", "s.csv", "--initial-out", "i.csv"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err,
              "ljgas-batch: the run could not start: Overflow: the neighbour cut-off (8R)^2 with R = 1e+20, beyond "
              "single precision\n"
              "ljgas-batch: wrote i.csv, s.csv from the state at that point\n");
    EXPECT_EQ(text("s.csv"), text("i.csv"));
}

// ---------------------------------------------------------------------------
// Energies and the export for LAMMPS.

TEST_F(Batch, ThermoRowsAtEveryReadOutChangeNoBitOfTheRun)
{
    const BatchResult r = run({"--steps", "1000", "--thermo-out", "thermo.csv", "--state-out", "with.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(run({"--steps", "1000", "--quiet", "--state-out", "without.csv"}).exitCode, 0);
    EXPECT_EQ(text("with.csv"), text("without.csv"));

    const std::vector<std::string> rows = lines(text("thermo.csv"));
    ASSERT_EQ(rows.size(), 1u + 1000 / SliceCount);
    EXPECT_EQ(rows[0], "step,T,kinetic,potential,total,pressure,vcm_x,vcm_y");
    EXPECT_EQ(fields(rows.back())[0], "1000");
    // The last row describes the state the run goes on from, the one saved:
    // measured after that read-out's rescale.
    auto rec = std::make_unique<Record>();
    RandomSequence random;
    initializeLattice(*rec, 0.01f, random);
    applyState(*rec, state("with.csv"));
    const Observables saved = measureObservables(*rec, 0.2f, rec->R);
    EXPECT_NEAR(std::stod(fields(rows.back())[2]), saved.kinetic, 1e-9 * saved.kinetic);
    EXPECT_NEAR(std::stod(fields(rows.back())[5]), saved.pressure, 1e-9 * saved.pressure);
    // 40 read-outs after the warm-up of 200 steps go into the summary's means.
    EXPECT_NE(r.out.find("(40 read-outs after step 200)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mean pressure"), std::string::npos);
}

TEST_F(Batch, LammpsFolderHoldsTheExportOfTheFinalState)
{
    std::filesystem::create_directory(path("deck"));
    ASSERT_EQ(run({"--steps", "300", "--quiet", "--e0", "0.3", "--tsoll", "0.25", "--lammps-out", "deck", "--state-out",
                   "end.csv"})
                  .exitCode,
              0);
    auto rec = std::make_unique<Record>();
    RandomSequence random;
    initializeLattice(*rec, 0.01f, random);
    applyState(*rec, state("end.csv"));
    const RunSettings settings = runSettings("0.3", "0.25", true);
    EXPECT_EQ(text("deck/data.ljgas"), lammpsDataText(*rec, settings));
    EXPECT_EQ(text("deck/in.ljgas"), lammpsDeckText(*rec, settings));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"deck", "end.csv"}));

    // A folder that is not there is made, with its parents.
    ASSERT_EQ(run({"--steps", "10", "--quiet", "--lammps-out", "made/here", "--state-out", "s.csv"}).exitCode, 0);
    EXPECT_TRUE(fileExists(path("made/here/data.ljgas")));
    EXPECT_TRUE(fileExists(path("made/here/in.ljgas")));
}

// ---------------------------------------------------------------------------
// Interrupts: the run stops as if Stop were pressed, the files are written.

TEST_F(Batch, TerminationRequestStopsTheRunAndWritesTheFiles)
{
    test::BatchLaunch launch;
    launch.terminateAtOnce = true;  // pending before the run starts
    const BatchResult r = run({"--steps", "100000000", "--quiet", "--state-out", "s.csv"}, launch);
    ASSERT_TRUE(r.exited) << "signal " << r.exitCode;
    EXPECT_EQ(r.exitCode, 128 + SIGTERM);
    // Usually the yield of step 1 sees the request, but on a loaded machine
    // the signal may land a few steps later; either way the written state is
    // exactly that of the step the message names.
    long steps = 0;
    ASSERT_EQ(std::sscanf(r.err.c_str(), "ljgas-batch: interrupted; the run was stopped after step %ld", &steps), 1)
        << r.err;
    ASSERT_GE(steps, 1);
    EXPECT_EQ(r.err, "ljgas-batch: interrupted; the run was stopped after step " + std::to_string(steps) +
                         " and s.csv written\n");
    ASSERT_EQ(run({"--steps", std::to_string(steps), "--quiet", "--state-out", "one.csv"}).exitCode, 0);
    EXPECT_EQ(text("s.csv"), text("one.csv"));
}

}  // namespace
}  // namespace ljgas
