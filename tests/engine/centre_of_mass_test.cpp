// The drift rule: a centre-of-mass velocity above the limit is taken out down
// to rounding; one below it leaves every bit as it was.
#include "engine/centre_of_mass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "engine/lattice.h"
#include "engine/thermostat.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

// The lattice start's gas (mean velocity removed, so at rounding level) with
// every velocity shifted by `drift` times the rms speed along (0.6, 0.8).
struct DriftingGas {
    std::unique_ptr<Record> rec = std::make_unique<Record>();
    double rms = 0.0;

    explicit DriftingGas(double drift)
    {
        test::FakeHost host(*rec);
        RandomSequence random;
        initializeLattice(*rec, host, random);
        double v2 = 0.0;
        for (int k = 1; k <= rec->n; ++k)
            v2 += double{rec->vx[k]} * rec->vx[k] + double{rec->vy[k]} * rec->vy[k];
        rms = std::sqrt(v2 / rec->n);
        for (int k = 1; k <= rec->n; ++k) {
            rec->vx[k] = static_cast<float>(rec->vx[k] + 0.6 * drift * rms);
            rec->vy[k] = static_cast<float>(rec->vy[k] + 0.8 * drift * rms);
        }
    }
    float T() const { return static_cast<float>(rms * rms); }
    double driftOverRms() const
    {
        const MeanVelocity v = centreOfMassVelocity(*rec);
        return std::hypot(v.x, v.y) / rms;
    }
};

TEST(DriftRule, AboveTheLimitTheMeanVelocityGoesBackToRounding)
{
    for (double drift : {2 * DriftLimit, 1e-2, 1.0}) {
        DriftingGas gas(drift);
        const Record before = *gas.rec;
        EXPECT_TRUE(removeDriftBeyondRounding(*gas.rec, gas.T())) << drift;
        // Each velocity is rounded once: the mean is left at about 1e-8 rms.
        EXPECT_LT(gas.driftOverRms(), 1e-7) << drift;
        // The motion relative to the centre of mass is kept.
        const MeanVelocity v = centreOfMassVelocity(before);
        EXPECT_EQ(gas.rec->vx[17], static_cast<float>(before.vx[17] - v.x));
        EXPECT_EQ(gas.rec->vy[225], static_cast<float>(before.vy[225] - v.y));
    }
}

TEST(DriftRule, BelowTheLimitEveryBitStays)
{
    for (double drift : {0.0, 1e-6, 0.9 * DriftLimit}) {
        DriftingGas gas(drift);
        const Record before = *gas.rec;
        EXPECT_FALSE(removeDriftBeyondRounding(*gas.rec, gas.T())) << drift;
        EXPECT_EQ(std::memcmp(before.vx.data(), gas.rec->vx.data(), sizeof before.vx), 0) << drift;
        EXPECT_EQ(std::memcmp(before.vy.data(), gas.rec->vy.data(), sizeof before.vy), 0) << drift;
    }
}

// A rescaling multiplies drift and rms speed alike: a drift just below the
// limit stays below it however hard the thermostat pulls (lambda at its
// bound of sqrt 2 here), so a run far from its target keeps every bit.
TEST(DriftRule, ComparesTheRescaledDriftWithTheRescaledTemperature)
{
    DriftingGas gas(0.9 * DriftLimit);
    test::FakeHost host(*gas.rec);
    host.Tsolltext = "3e4";
    temperatureStep(*gas.rec, host, gas.T() * gas.rec->n * 20);
    EXPECT_NEAR(gas.driftOverRms(), 0.9 * DriftLimit * std::sqrt(2.0), 1e-6);  // rms is the old one
}

TEST(DriftRule, AppliesAtEveryReadOutAlsoWithTheThermostatOff)
{
    DriftingGas gas(1e-2);
    test::FakeHost host(*gas.rec);
    host.thermostat = 0;
    // v2sum of a window of 20 steps at this temperature.
    temperatureStep(*gas.rec, host, gas.T() * gas.rec->n * 20);
    EXPECT_LT(gas.driftOverRms(), 1e-7);
}

}  // namespace
}  // namespace ljgas
