#include "engine/conserving_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/lattice.h"
#include "engine/observables.h"
#include "engine/record.h"
#include "engine/run.h"
#include "engine/thermostat.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

struct LatticeGas {
    Record rec;
    RandomSequence random;
    FakeHost host{rec};
    LatticeGas(int thermostat)
    {
        initializeLattice(rec, host, random);
        host.thermostat = static_cast<std::int16_t>(thermostat);
    }
};

// From the lattice, 2000 steps forward, every velocity negated, 2000 steps:
// the lattice again, every coordinate to the bit, after the gas has melted.
TEST(ConservingRun, RetracesItsStepsExactly)
{
    LatticeGas gas(0);
    const Record lattice = gas.rec;
    ConservingRun run(gas.rec, gas.host, gas.host.stats);
    for (int s = 0; s < 2000; ++s)
        run.step();
    int moved = 0;
    for (int k = 1; k <= gas.rec.n; ++k)
        moved += std::fabs(minimumImage(static_cast<double>(gas.rec.x[k]) - lattice.x[k])) > 0.01;
    EXPECT_GT(moved, 100);
    run.reverse();
    for (int s = 0; s < 2000; ++s)
        run.step();
    for (int k = 1; k <= gas.rec.n; ++k) {
        ASSERT_EQ(gas.rec.x[k], lattice.x[k]) << k;
        ASSERT_EQ(gas.rec.y[k], lattice.y[k]) << k;
    }
}

// The energy with each pair shifted by V(8R), which the integrator keeps,
// over 5000 steps from the lattice without the thermostat. The designed
// dynamics loses 15 % of it meanwhile.
constexpr double EnergyTolerance = 1e-3;

TEST(ConservingRun, KeepsTheEnergyWhereTheDesignedRunLosesIt)
{
    LatticeGas gas(0);
    ConservingRun run(gas.rec, gas.host, gas.host.stats);
    const double start = run.energy().shiftedTotal();
    double worst = 0.0;
    for (int s = 1; s <= 5000; ++s) {
        run.step();
        if (s % 100 == 0)
            worst = std::max(worst, std::fabs(run.energy().shiftedTotal() / start - 1.0));
    }
    EXPECT_LT(worst, EnergyTolerance);

    LatticeGas designedGas(0);
    const double designedStart = measureObservables(designedGas.rec, 0.2f, 0.01f).total;
    ljgas::Run designed(designedGas.rec, designedGas.host, designedGas.host.stats);
    for (int s = 0; s < 5000; ++s)
        designed.step();
    EXPECT_GT(std::fabs(measureObservables(designedGas.rec, 0.2f, 0.01f).total / designedStart - 1.0),
              10 * EnergyTolerance);
}

// A lattice start during the run: its next step starts from the new lattice,
// exactly as a run started on it would.
TEST(ConservingRun, PositionsPutInDuringTheRunAreTakenUp)
{
    LatticeGas gas(1);
    ConservingRun run(gas.rec, gas.host, gas.host.stats);
    for (int s = 0; s < 50; ++s)
        run.step();
    RandomSequence again;
    initializeLattice(gas.rec, gas.host, again);
    LatticeGas fresh(1);
    ConservingRun freshRun(fresh.rec, fresh.host, fresh.host.stats);
    run.step();
    freshRun.step();
    for (int k = 1; k <= gas.rec.n; ++k) {
        ASSERT_EQ(gas.rec.x[k], fresh.rec.x[k]) << k;
        ASSERT_EQ(gas.rec.vy[k], fresh.rec.vy[k]) << k;
    }
}

// Every twentieth step T is shown, and with the box checked the weak pull
// scales every velocity by lambda: the kinetic energy by lambda^2. Beside
// it the same run with the box unchecked.
TEST(ConservingRun, WeakThermostatPullsAtTheReadOut)
{
    LatticeGas pulledGas(1), freeGas(0);
    pulledGas.host.Tsolltext = freeGas.host.Tsolltext = "0.6";
    ConservingRun pulled(pulledGas.rec, pulledGas.host, pulledGas.host.stats);
    ConservingRun free(freeGas.rec, freeGas.host, freeGas.host.stats);
    for (int s = 1; s <= 20; ++s)
        pulled.step(), free.step();
    ASSERT_EQ(pulledGas.host.temperatures.size(), 1u);
    ASSERT_EQ(pulledGas.host.temperatures, freeGas.host.temperatures);
    const double lambda = thermostatFactor(0.6, pulledGas.host.temperatures[0]);
    EXPECT_GT(lambda, 1.01);
    EXPECT_NEAR(pulled.state().squaredSpeeds() / free.state().squaredSpeeds(), lambda * lambda, 1e-12);
}

// Drawn from the canonical distribution of K (a gamma of shape Nf / 2 and
// mean Kt), K alpha^2 is again so distributed: its mean Kt and relative
// spread sqrt(2 / Nf) = 1/sqrt(224) for 225 discs.
TEST(CanonicalThermostat, KeepsTheCanonicalDistribution)
{
    constexpr int dof = 448;
    constexpr double Kt = 33.75;  // 225 discs at T = 0.3
    RandomVariates draws5(RandomSequence(5));
    CanonicalThermostat thermostat(draws5, canonicalDecayPerReadOut());
    RandomVariates canonical(RandomSequence(6));
    constexpr int draws = 20000;
    double sum = 0.0, sum2 = 0.0;
    for (int k = 0; k < draws; ++k) {
        const double K = canonical.gamma(dof / 2.0) * (2.0 * Kt / dof);
        const double alpha = thermostat.factor(K, Kt, dof);
        const double after = K * alpha * alpha;
        sum += after, sum2 += after * after;
    }
    const double mean = sum / draws;
    const double spread = std::sqrt(sum2 / draws - mean * mean) / mean;
    EXPECT_NEAR(mean / Kt, 1.0, 2.5e-3);                    // five standard errors
    EXPECT_NEAR(spread * std::sqrt(dof / 2.0), 1.0, 0.03);  // six standard errors
    // A gas held at Kt exactly is moved: by (1 - c) of nothing, and by noise.
    EXPECT_NE(thermostat.factor(Kt, Kt, dof), 1.0);
    EXPECT_NEAR(canonicalDecayPerReadOut(), std::exp(-0.1), 3e-16);
}

}  // namespace
}  // namespace ljgas
