#include "engine/run.h"

#include <cmath>

#include <gtest/gtest.h>

#include "engine/drift.h"
#include "engine/lattice.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

TEST(DriftAndWrap, WrapsOnceThroughEachEdge)
{
    Record rec;
    rec.n = 4;
    rec.x[1] = 0.9995f, rec.vx[1] = 1.0f;
    rec.x[2] = 0.0002f, rec.vx[2] = -1.0f;
    rec.y[3] = 0.9995f, rec.vy[3] = 1.0f;
    rec.y[4] = 0.0002f, rec.vy[4] = -1.0f;
    for (int p = 1; p <= 4; ++p)
        driftAndWrap(rec, p, 0.001f);
    const float out = static_cast<float>(0.001f * 1.0 + 0.9995f);     // 1.0005
    const float below = static_cast<float>(0.001f * -1.0 + 0.0002f);  // -0.0008
    EXPECT_EQ(rec.x[1], static_cast<float>(out - 1.0));
    EXPECT_NEAR(rec.x[1], 0.0005f, 1e-7f);
    EXPECT_EQ(rec.x[2], static_cast<float>(below + 1.0));
    EXPECT_NEAR(rec.x[2], 0.9992f, 1e-7f);
    EXPECT_EQ(rec.y[3], rec.x[1]);
    EXPECT_EQ(rec.y[4], rec.x[2]);
}

TEST(DriftAndWrap, TestsAreStrictAndMadeOnce)
{
    Record rec;
    rec.x[1] = 1.0f, rec.y[1] = 0.0f;  // at rest exactly on the edges: stays
    driftAndWrap(rec, 1, 0.001f);
    EXPECT_EQ(rec.x[1], 1.0f);
    EXPECT_EQ(rec.y[1], 0.0f);

    rec.x[2] = 0.5f, rec.vx[2] = 3000.0f;  // 3 box lengths in one step
    driftAndWrap(rec, 2, 0.001f);
    EXPECT_GT(rec.x[2], 2.4f);  // one wrap only: left outside the box
}

TEST(AddSquaredSpeeds, SumsInTheStatedOrder)
{
    Record rec;
    rec.n = 2;
    rec.vx[1] = 0.5f, rec.vy[1] = 0.25f, rec.vx[2] = 1e-4f, rec.vy[2] = 3.0f;
    const float once = static_cast<float>(0.5 * 0.5 + 1.0 + 0.25 * 0.25);
    const float twice = static_cast<float>(double(1e-4f) * 1e-4f + once + 9.0);
    EXPECT_EQ(addSquaredSpeeds(rec, 1.0f), twice);
}

class RunLoop : public ::testing::Test {
protected:
    Record rec;
    RandomSequence random;
    FakeHost host{rec};

    void SetUp() override { initializeLattice(rec, 0.01f, random); }
};

TEST_F(RunLoop, TwentyStepCycle)
{
    host.run(70);
    EXPECT_EQ(host.yields, 70);
    EXPECT_EQ(host.stats.step, 70.0f);
    EXPECT_EQ(host.plotSetUps, 1);
    EXPECT_EQ(host.plotRedrawSteps, (std::vector<float>{10, 30, 50, 70}));
    EXPECT_EQ(host.temperatureSteps, (std::vector<float>{20, 40, 60}));
    EXPECT_EQ(rec.nbins, 200);
    EXPECT_EQ(rec.PauseMark, -1);
}

TEST_F(RunLoop, EveryParticleIsErasedAndDrawnOncePerStep)
{
    host.showParticles();
    host.run(3);
    EXPECT_EQ(host.erases, 3 * 225);
    EXPECT_EQ(host.draws, 3 * 225);
}

TEST_F(RunLoop, StopBeforeGoIsClearedByTheRun)
{
    requestStop(rec);
    host.run(25);
    EXPECT_EQ(host.yields, 25);
}

TEST_F(RunLoop, StoppedRunsShowNothingEarlyAndRestartTheCycle)
{
    host.run(9);
    EXPECT_TRUE(host.plotRedrawSteps.empty());
    EXPECT_TRUE(host.temperatureSteps.empty());
    host.run(15);
    EXPECT_TRUE(host.temperatureSteps.empty());  // stopped at step 15
    host.run(20);                                // a new run: its first temperature 20 steps later, not 5
    EXPECT_EQ(host.temperatureSteps, (std::vector<float>{20}));
}

TEST_F(RunLoop, FirstTemperatureCoversExactlySteps1To20)
{
    float v2sum = 0.0f;
    host.onYield = [&](int) { v2sum = addSquaredSpeeds(rec, v2sum); };
    host.thermostat = 0;
    host.run(20);
    ASSERT_EQ(host.temperatures.size(), 1u);
    EXPECT_EQ(host.temperatures[0], static_cast<float>(double(v2sum) / 225 / 20));
}

// Initialize during a run: the run carries on from the lattice. With the same
// R it carries on as it was; with another it takes that R at its next step,
// as a fresh Go would but for e0: the cycle, the warm-up and the plotted
// bins of g(r) start afresh.
TEST_F(RunLoop, InitializeDuringARunCarriesOnFromTheLatticeTakingItsR)
{
    for (const char* R : {"0.01", "0.02"}) {
        SCOPED_TRACE(R);
        host.showParticles();
        RunStats stats;
        const int base = host.yields;
        host.onYield = [&](int yield) {
            yield -= base;
            if (yield == 230) {
                host.Rtext = R;
                initializeLattice(rec, host, random);
                EXPECT_EQ(rec.PauseMark, 0);
            }
            if (yield == 231) {
                // One step from the lattice: every particle within one
                // step's drift of its site.
                for (int k = 1; k <= 225; ++k)
                    EXPECT_NEAR(rec.x[k], static_cast<float>(((k - 1) / 15 + 0.5) / 15), 2e-3f);
                requestStop(rec);
            }
        };
        rec.g[5000] = 1.0f;  // beyond every distance, beyond the plotted bins
        host.runUntilStopped(&stats);
        const bool taken = std::string(R) != "0.01";
        EXPECT_EQ(host.yields - base, 231);
        EXPECT_EQ(stats.steps, 231);
        EXPECT_EQ(stats.step, taken ? 1.0f : 231.0f);
        EXPECT_EQ(stats.radiusChanges, taken ? 1 : 0);
        EXPECT_EQ(rec.g[30] == 0.0f, taken);  // the warm-up begun again
        EXPECT_EQ(rec.g[5000], 1.0f);
    }
}

TEST_F(RunLoop, ZeroRadiusEndsTheFirstStepWithDivisionByZero)
{
    RandomSequence r2;
    initializeLattice(rec, 0.0f, r2);
    const Record before = rec;
    try {
        host.run(10);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::DivisionByZero);
    }
    EXPECT_EQ(host.stats.step, 1.0f);
    EXPECT_EQ(host.yields, 0);
    for (int k = 1; k <= 225; ++k)  // failed in the refresh, before any drift
        EXPECT_EQ(rec.x[k], before.x[k]);
}

TEST_F(RunLoop, ErrorsInsideAYieldHandlerLeaveTheRunToTheCaller)
{
    // An Initialize with a bad R during the run fails inside its own handler;
    // the run itself goes on.
    host.onYield = [&](int yield) {
        if (yield == 3) {
            host.Rtext = "1e39";
            EXPECT_THROW(initializeLattice(rec, host, random), EngineError);
        }
    };
    host.run(6);
    EXPECT_EQ(host.stats.step, 6.0f);
}

TEST_F(RunLoop, WellDepthIsReadOnceAtTheStart)
{
    Record other = rec;
    FakeHost second(other);
    host.onYield = [&](int yield) {
        if (yield == 2)
            host.e0text = "5";  // takes effect at the next run only
    };
    host.run(60);
    second.run(60);
    for (int k = 1; k <= 225; ++k)
        ASSERT_EQ(rec.vx[k], other.vx[k]);
}

// The gas rule judges a gas warmer than its target, but less than twice as
// warm, at the target: at e0 0.5 omega dt is 1.45 at T 0.57 and 1.29 at the
// default target, so the first step is whole with the thermostat on and cut
// with it off; at T 0.66, beyond twice the target, it is cut.
TEST(Run, WarmGasIsJudgedAtItsTargetUpToTwiceIt)
{
    auto cutSteps = [](double T, std::int16_t thermostat) {
        Record rec;
        RandomSequence random;
        FakeHost host(rec);
        host.e0text = "0.5";
        host.thermostat = thermostat;
        initializeLattice(rec, host, random);
        double v2 = 0.0;
        for (int k = 1; k <= rec.n; ++k)
            v2 += static_cast<double>(rec.vx[k]) * rec.vx[k] + static_cast<double>(rec.vy[k]) * rec.vy[k];
        const auto scale = static_cast<float>(std::sqrt(T * rec.n / v2));
        for (int k = 1; k <= rec.n; ++k)
            rec.vx[k] *= scale, rec.vy[k] *= scale;
        host.run(1);
        return host.stats.subSteppedSteps;
    };
    EXPECT_EQ(cutSteps(0.57, 1), 0);
    EXPECT_EQ(cutSteps(0.57, 0), 1);
    EXPECT_EQ(cutSteps(0.66, 1), 1);
}

}  // namespace
}  // namespace ljgas
