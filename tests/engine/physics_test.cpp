// Longer runs at the default parameters, checked against physics.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "engine/lattice.h"
#include "engine/run.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

struct Momentum {
    double px = 0, py = 0;
};

Momentum momentum(const Record& rec)
{
    Momentum m;
    for (int k = 1; k <= rec.n; ++k)
        m.px += rec.vx[k], m.py += rec.vy[k];
    return m;
}

TEST(Physics, TotalMomentumStaysAtItsStartWithoutThermostat)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    initializeLattice(rec, host, random);
    host.thermostat = 0;
    const Momentum start = momentum(rec);
    double largestDrift = 0;
    host.onYield = [&](int yield) {
        if (yield % 1000 == 0) {
            const Momentum now = momentum(rec);
            largestDrift = std::max({largestDrift, std::fabs(now.px - start.px), std::fabs(now.py - start.py)});
        }
    };
    host.run(20000);
    // Every kick conserves momentum up to the rounding of four single-precision
    // sums; over 20 000 steps of ~500 pairs those roundings random-walk to
    // about 1e-4 (velocities are ~0.5, so each rounding is ~3e-8).
    constexpr double roundingWalk = 2e-3;
    EXPECT_LT(largestDrift, roundingWalk);
    // The velocities did change: the gas is interacting, not flying freely.
    EXPECT_GT(host.temperatures.size(), 900u);
}

TEST(Physics, ThermostatHoldsTheTargetTemperature)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    initializeLattice(rec, host, random);
    host.run(40000);
    ASSERT_EQ(host.temperatures.size(), 2000u);
    const auto half = host.temperatures.begin() + 1000;
    const double mean = std::accumulate(half, host.temperatures.end(), 0.0) / (host.temperatures.end() - half);
    constexpr double withinFivePercent = 0.05 * 0.3;
    EXPECT_NEAR(mean, 0.3, withinFivePercent);
}

// Heating the gas is the first thing a class tries. Without the guard and
// sub-steps a gas at Tsoll 1 ended within 306 steps with two discs on top of
// each other; a gas reheated from near rest blew up at once.
TEST(Physics, HotGasKeepsRunningAndHoldsItsTarget)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    host.Tsolltext = "1.0";
    initializeLattice(rec, host, random);
    host.run(20000);
    const auto lastTenth = host.temperatures.end() - 100;
    const double mean = std::accumulate(lastTenth, host.temperatures.end(), 0.0) / 100;
    EXPECT_NEAR(mean, 1.0, 0.05);
    EXPECT_GT(host.stats.guardedPairs, 0);
    EXPECT_GT(host.stats.subSteppedSteps, 19000);  // T = 1 sub-steps every step
}

TEST(Physics, GasReheatedFromNearRestWarmsWithoutExploding)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    initializeLattice(rec, host, random);
    for (int k = 1; k <= rec.n; ++k) {  // T of 1e-4
        rec.vx[k] *= 0.025f;
        rec.vy[k] *= 0.025f;
    }
    host.run(10000);
    // Doubling at most per read-out: at least a dozen read-outs to 0.3.
    EXPECT_LT(host.temperatures[10], 0.15f);
    const auto lastTenth = host.temperatures.end() - 50;
    EXPECT_NEAR(std::accumulate(lastTenth, host.temperatures.end(), 0.0) / 50, 0.3, 0.015);
}

TEST(Physics, RadialDistributionPeaksNearTheMinimumAndFlattensFarOut)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    initializeLattice(rec, host, random);
    host.run(20200);
    const double R = rec.R, w = 0.07 * R;
    const double visits = static_cast<double>(host.stats.binnedVisits);
    ASSERT_EQ(visits, 20000.0 * 1260);
    std::vector<double> gn(201);
    for (int k = 1; k <= 200; ++k)
        gn[k] = rec.g[k] / (visits * 2 * M_PI * w * w);
    const int peak = static_cast<int>(std::max_element(gn.begin() + 1, gn.end()) - gn.begin());
    // 2^(1/6) sigma = 2.245 R is bin 32.
    EXPECT_NEAR(peak, 32, 3);
    EXPECT_GT(gn[peak], 1.5);
    // Almost no pair inside the hard core.
    for (int k = 1; k <= 20; ++k)
        EXPECT_LT(gn[k], 0.05) << k;
    // Far out (10R..14R) the ideal-gas value 1.
    const double far = std::accumulate(gn.begin() + 143, gn.end(), 0.0) / 58;
    EXPECT_NEAR(far, 1.0, 0.1);
}

// Bit-for-bit reproducibility: the state after 2000 default steps hashed.
std::uint64_t hashState(const Record& rec)
{
    std::uint64_t h = 1469598103934665603ULL;
    auto mix = [&](float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        h = (h ^ bits) * 1099511628211ULL;
    };
    for (int k = 1; k <= 225; ++k)
        mix(rec.x[k]), mix(rec.y[k]), mix(rec.vx[k]), mix(rec.vy[k]);
    for (int k = 1; k <= 200; ++k)
        mix(rec.g[k]);
    return h;
}

TEST(Physics, TwoProgramStartsRunIdenticallyToTheBit)
{
    // Nothing may leak between records or depend on memory left over.
    Record a, b;
    RandomSequence ra, rb;
    FakeHost ha(a), hb(b);
    initializeLattice(a, ha, ra);
    ha.run(1500);
    initializeLattice(b, hb, rb);
    hb.run(1500);
    EXPECT_EQ(hashState(a), hashState(b));
    ha.run(300);
    EXPECT_NE(hashState(a), hashState(b));
}

}  // namespace
}  // namespace ljgas
