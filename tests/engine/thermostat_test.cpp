#include "engine/thermostat.h"

#include <gtest/gtest.h>

#include "engine/checked.h"
#include "engine/lattice.h"
#include "engine/record.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

ErrorKind errorOf(auto&& call)
{
    try {
        call();
    } catch (const EngineError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no error";
    return ErrorKind::IndexOutOfRange;
}

TEST(Temperature, IsTheMeanSquaredSpeedPerParticleAndStep)
{
    // 225 particles, 20 steps, each vx^2 + vy^2 = 0.3: v2sum = 1350.
    EXPECT_EQ(measureTemperature(1350.0f, 225), static_cast<float>(1350.0 / 225 / 20));
    EXPECT_EQ(measureTemperature(0.0f, 225), 0.0f);
    EXPECT_EQ(errorOf([] { measureTemperature(1.0f, 0); }), ErrorKind::DivisionByZero);
}

TEST(ThermostatFactor, WeakRescalingTowardsTheTarget)
{
    EXPECT_EQ(thermostatFactor(0.3, 0.2f), 1.025f);
    EXPECT_EQ(thermostatFactor(0.2f, 0.2f), 1.0f);   // target = measured: exactly 1
    EXPECT_EQ(thermostatFactor(0.0, 0.37f), 0.95f);  // empty target box: cools
    EXPECT_EQ(errorOf([] { thermostatFactor(0.3, 0.0f); }), ErrorKind::DivisionByZero);
    EXPECT_EQ(errorOf([] { thermostatFactor(0.0, 0.0f); }), ErrorKind::Overflow);  // 0/0
}

// Far from the target one application at most doubles or halves T: a gas
// reheated from near rest, a negative target, an infinite one.
TEST(ThermostatFactor, BoundedSoThatTNeverMoreThanDoublesOrHalves)
{
    const float most = static_cast<float>(LargestThermostatFactor);
    const float least = static_cast<float>(SmallestThermostatFactor);
    EXPECT_EQ(thermostatFactor(0.3, 1e-4f), most);              // would be 150
    EXPECT_EQ(thermostatFactor(1e39, 1e-3f), most);             // would overflow
    EXPECT_EQ(thermostatFactor(-19 * 0.2 - 0.1, 0.2f), least);  // would reverse every velocity
    EXPECT_EQ(thermostatFactor(0.3 * 1.99, 0.3f), static_cast<float>(0.99 * 0.05 + 1.0));  // inside: untouched
    EXPECT_LE(static_cast<double>(most) * most, 2.0 + 1e-6);
    EXPECT_GE(static_cast<double>(least) * least, 0.5 - 1e-6);
}

class TemperatureStep : public ::testing::Test {
protected:
    Record rec;
    RandomSequence random;
    FakeHost host{rec};

    void SetUp() override { initializeLattice(rec, 0.01f, random); }
};

TEST_F(TemperatureStep, ShowsTAndRescalesWhenTheBoxIsChecked)
{
    const Record before = rec;
    host.Tsolltext = "0.3";
    temperatureStep(rec, host, 1350.0f);  // T = 0.3: lambda exactly 1
    ASSERT_EQ(host.temperatures.size(), 1u);
    EXPECT_EQ(host.temperatures[0], 0.3f);
    EXPECT_EQ(rec.vx[7], before.vx[7]);

    host.Tsolltext = "0.6abc";
    temperatureStep(rec, host, 1350.0f);
    const float lambda = thermostatFactor(0.6, 0.3f);
    for (int k = 1; k <= 225; ++k) {
        EXPECT_EQ(rec.vx[k], lambda * before.vx[k]);
        EXPECT_EQ(rec.vy[k], lambda * before.vy[k]);
    }
}

TEST_F(TemperatureStep, UncheckedBoxLeavesVelocitiesAloneAndNeverReadsTheTarget)
{
    const Record before = rec;
    host.thermostat = 0;
    host.Tsolltext = "";  // would give lambda 0.95 if it were read
    temperatureStep(rec, host, 10.0f);
    host.thermostat = 2;  // only exactly 1 means checked
    temperatureStep(rec, host, 10.0f);
    for (int k = 1; k <= 225; ++k)
        EXPECT_EQ(rec.vx[k], before.vx[k]);
    EXPECT_EQ(host.temperatures.size(), 2u);
}

TEST_F(TemperatureStep, ZeroTemperatureWithTheThermostatOnFails)
{
    EXPECT_EQ(errorOf([&] { temperatureStep(rec, host, 0.0f); }), ErrorKind::DivisionByZero);
    host.Tsolltext = "0";
    EXPECT_EQ(errorOf([&] { temperatureStep(rec, host, 0.0f); }), ErrorKind::Overflow);
    host.thermostat = 0;
    temperatureStep(rec, host, 0.0f);  // off: T = 0 is just shown
    EXPECT_EQ(host.temperatures.back(), 0.0f);
}

}  // namespace
}  // namespace ljgas
