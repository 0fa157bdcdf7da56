// ljgas and LAMMPS on the same gas: the state after 2,000 steps of the
// default run, exported, and the deck run by lmp. Same positions must give
// the same energy and pressure to rounding; the same dynamics the same
// temperature and structure to statistics. The first two print the figures
// they compare, for the README's table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "engine/lattice.h"
#include "engine/observables.h"
#include "engine/record.h"
#include "files/lammps_export.h"
#include "lammps_process.h"
#include "runtime/random_sequence.h"
#include "tests/engine/fake_host.h"
#include "tests/tools/batch_process.h"

namespace ljgas {
namespace {

using test::FakeHost;
using test::readRdf;
using test::readThermoRows;
using test::runLammps;
using test::ScratchFolder;

constexpr int StepsBeforeExport = 2000;
constexpr int ComparedSteps = 50000;
constexpr double SameStateTolerance = 1e-6;  // relative: only rounding differs
constexpr double TemperatureTolerance = 0.03;
constexpr double PeakTolerance = 0.05;
constexpr double BinWidthPerRadius = 0.07;  // ljgas's histogram bins

// The window's default gas after its first 2,000 steps, exported.
class CrossCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::lammpsInstalled())
            GTEST_SKIP() << test::LammpsBinary << " is missing (Debian package lammps)";
        RandomSequence random;
        initializeLattice(*rec, host, random);
        host.run(StepsBeforeExport);
    }

    void exportState(bool thermostat)
    {
        settings = runSettings(host.e0text, host.Tsolltext, thermostat);
        host.thermostat = thermostat ? 1 : 0;
        test::writeText(folder.file(LammpsDataName), lammpsDataText(*rec, settings));
        test::writeText(folder.file(LammpsDeckName), lammpsDeckText(*rec, settings));
    }

    // lmp's thermo rows; fails the test when lmp fails.
    std::vector<test::ThermoRow> lammps(const std::string& variables, int ranks = 1)
    {
        const int status = runLammps(folder.path(), variables, ranks);
        EXPECT_EQ(status, 0) << test::readText(folder.file("screen.lammps"));
        return readThermoRows(folder.file("log.lammps"));
    }

    std::unique_ptr<Record> rec = std::make_unique<Record>();
    FakeHost host{*rec};
    RunSettings settings;
    ScratchFolder folder;
};

double relative(double a, double b) { return std::fabs(a - b) / std::fabs(b); }

// The first peak of this gas is low and broad: its top, within a tenth of the
// highest bin, spans several bins whose order is noise. Its position is the
// centroid of that top.
double firstPeak(const std::vector<double>& r, const std::vector<double>& g)
{
    const std::size_t top = static_cast<std::size_t>(std::max_element(g.begin(), g.end()) - g.begin());
    const double floor = 0.9 * g[top];
    std::size_t first = top;
    std::size_t last = top;
    while (first > 0 && g[first - 1] >= floor)
        --first;
    while (last + 1 < g.size() && g[last + 1] >= floor)
        ++last;
    double weight = 0.0;
    double moment = 0.0;
    for (std::size_t k = first; k <= last; ++k) {
        weight += g[k];
        moment += g[k] * r[k];
    }
    return moment / weight;
}

TEST_F(CrossCheck, SameStateGivesTheSameEnergyAndPressure)
{
    exportState(true);
    const Observables ours = measureObservables(*rec, settings.e0, rec->R);
    const std::vector<test::ThermoRow> rows = lammps("-var steps 0");
    ASSERT_EQ(rows.size(), 1u);
    std::printf("potential: ljgas %.16g, LAMMPS %.15g\npressure: ljgas %.17g, LAMMPS %.15g\n", ours.potential,
                rows[0].pe, ours.pressure, rows[0].press);
    EXPECT_LT(relative(rows[0].pe, ours.potential), SameStateTolerance) << rows[0].pe << " vs " << ours.potential;
    EXPECT_LT(relative(rows[0].press, ours.pressure), SameStateTolerance) << rows[0].press << " vs " << ours.pressure;
    EXPECT_LT(relative(rows[0].ke, ours.kinetic), SameStateTolerance) << rows[0].ke << " vs " << ours.kinetic;
}

TEST_F(CrossCheck, SameDynamicsGivesTheSameTemperatureAndFirstPeak)
{
    exportState(true);
    const std::vector<test::ThermoRow> rows = lammps("-var steps " + std::to_string(ComparedSteps) + " -var every 20");
    ASSERT_EQ(rows.size(), 1u + ComparedSteps / 20);

    host.temperatures.clear();
    host.run(ComparedSteps);
    const double oursT = std::accumulate(host.temperatures.begin(), host.temperatures.end(), 0.0) /
                         host.temperatures.size();
    // LAMMPS's temp counts 2N - 2 degrees of freedom; ljgas's T is 2 KE / N.
    const double N = rec->n;
    double theirsT = 0.0;
    for (auto row = rows.begin() + 1; row != rows.end(); ++row)
        theirsT += row->temp * (2 * N - 2) / N;
    theirsT /= static_cast<double>(rows.size() - 1);
    EXPECT_LT(relative(theirsT, oursT), TemperatureTolerance) << "LAMMPS " << theirsT << ", ljgas " << oursT;

    std::vector<double> r;
    std::vector<double> g;
    for (int k = 1; k <= PlotBins; ++k) {
        r.push_back(k * BinWidthPerRadius * rec->R);
        g.push_back(rec->g[k]);  // the weights 1/k make it proportional to g(r)
    }
    const double oursPeak = firstPeak(r, g);
    const test::RdfCurve curve = readRdf(folder.file("gr.ljgas"));
    ASSERT_FALSE(curve.g.empty());
    const double theirsPeak = firstPeak(curve.r, curve.g);
    std::printf("mean T: ljgas %.4f, LAMMPS %.4f\nfirst peak: ljgas %.3f R, LAMMPS %.3f R\n", oursT, theirsT,
                oursPeak / rec->R, theirsPeak / rec->R);
    EXPECT_LT(relative(theirsPeak, oursPeak), PeakTolerance) << "LAMMPS " << theirsPeak << ", ljgas " << oursPeak;
}

TEST_F(CrossCheck, ReplicatedDeckRunsOnTwoRanks)
{
    exportState(true);
    const std::vector<test::ThermoRow> single = lammps("-var steps 0");
    ASSERT_EQ(single.size(), 1u);
    const std::vector<test::ThermoRow> rows = lammps("-var rep 4 -var steps 200 -var every 100", 2);
    ASSERT_EQ(rows.size(), 3u);
    // steps and every count ljgas's steps of 0.001, each made of four of LAMMPS's.
    EXPECT_NE(test::readText(folder.file("log.lammps")).find("on 2 procs for 800 steps with 3600 atoms"),
              std::string::npos);
    EXPECT_EQ(rows[1].step, 400);
    EXPECT_DOUBLE_EQ(rows[1].time, 0.1);
    EXPECT_DOUBLE_EQ(rows[2].time, 0.2);
    // 16 copies of the box: 16 times the energy, the same pressure.
    EXPECT_LT(relative(rows[0].pe, 16 * single[0].pe), 1e-12);
    EXPECT_LT(relative(rows[0].press, single[0].press), 1e-12);
}

}  // namespace
}  // namespace ljgas
