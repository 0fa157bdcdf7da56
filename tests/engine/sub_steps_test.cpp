// Sub-steps: how many the collisions of a gas need, and what a step cut into
// sub-steps does.
#include "engine/sub_steps.h"

#include <gtest/gtest.h>

#include "engine/lattice.h"
#include "engine/run.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

TEST(CollisionSubSteps, SingleStepsForTheDefaultGasMoreWhereTheWallIsTooStiff)
{
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 0.3f, TimeStep), 1);    // omega dt 0.85
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 0.38f, TimeStep), 1);   // a warm fluctuation of it
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 1.0f, TimeStep), 2);    // 1.16
    EXPECT_EQ(collisionSubSteps(0.01f, 1.0f, 0.3f, TimeStep), 2);    // 1.60
    EXPECT_EQ(collisionSubSteps(0.005f, 0.2f, 0.3f, TimeStep), 2);   // 1.70
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 30.0f, TimeStep), 6);   // 5.3
    // Nothing sub-steps can resolve: left to the checks.
    EXPECT_EQ(collisionSubSteps(0.0f, 0.2f, 0.3f, TimeStep), 1);
    EXPECT_EQ(collisionSubSteps(0.01f, 1e30f, 0.3f, TimeStep), 1);
}

TEST(SubStepSpeedLimit, IsAFifteenthOfTheDiameterPerStep)
{
    EXPECT_FLOAT_EQ(subStepSpeedLimit2(0.01f, TimeStep), 9.0f);  // speed 3
    EXPECT_FLOAT_EQ(subStepSpeedLimit2(0.005f, TimeStep), 2.25f);
    EXPECT_EQ(subStepSpeedLimit2(0.0f, TimeStep), subStepSpeedLimit2(-1.0f, TimeStep));  // no limit
}

// One disc of the default gas at speed 5: that step, and only that step, is
// cut in two, and the disc goes the same way as in two steps of dt/2.
TEST(SubSteps, AFastDiscCutsItsStepInTwo)
{
    Record rec;
    RandomSequence random;
    test::FakeHost host(rec);
    initializeLattice(rec, host, random);
    rec.vx[113] = 5.0f;  // the centre of the lattice: 1/15 from every neighbour
    rec.vy[113] = 0.0f;
    const float x = rec.x[113];
    host.run(1);
    EXPECT_EQ(host.stats.subSteppedSteps, 1);
    EXPECT_EQ(host.stats.mostSubSteps, 2);
    const float half = TimeStep / 2;
    const float once = static_cast<float>(static_cast<double>(half) * rec.vx[113] + x);
    EXPECT_NEAR(rec.x[113], static_cast<double>(half) * rec.vx[113] + once, 1e-7);
}

}  // namespace
}  // namespace ljgas
