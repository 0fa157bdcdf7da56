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

// Omega dt of the gas's fast tail against 1.32, where one step of dt heats
// the gas: R 0.01, e0 0.2 crosses it at T = 0.785, the well alone at e0 =
// 0.764.
TEST(CollisionSubSteps, OneStepWhereItHoldsTheTargetMoreWhereItHeatsTheGas)
{
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 0.3, TimeStep), 1);    // the default gas, omega dt 0.98
    EXPECT_EQ(collisionSubSteps(0.01f, 0.5f, 0.3, TimeStep), 1);    // a deeper well, 1.29
    EXPECT_EQ(collisionSubSteps(0.0075f, 0.2f, 0.3, TimeStep), 1);  // smaller discs, 1.31
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 0.78, TimeStep), 1);
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 0.79, TimeStep), 2);
    EXPECT_EQ(collisionSubSteps(0.01f, 0.76f, 0.0, TimeStep), 1);
    EXPECT_EQ(collisionSubSteps(0.01f, 0.77f, 0.0, TimeStep), 2);
    EXPECT_EQ(collisionSubSteps(0.01f, 0.02f, 1.0, TimeStep), 2);  // 1.34; the sum's omega dt 0.97: still two
    // Nothing sub-steps can resolve, or nothing to resolve: left to the checks.
    EXPECT_EQ(collisionSubSteps(0.0f, 0.2f, 0.3, TimeStep), 1);
    EXPECT_EQ(collisionSubSteps(0.01f, 1e30f, 0.3, TimeStep), 1);
    EXPECT_EQ(collisionSubSteps(0.01f, 0.0f, 2.0, TimeStep), 1);  // no wall
}

// Once 5.25 T passes the speed limit's square (9 at R 0.01, T = 1.714), the
// tail's stiffness is shared out over the sub-steps the limit gives most
// steps; the well's is not.
TEST(CollisionSubSteps, WhereTheSpeedLimitCutsMostStepsItTakesTheTail)
{
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 1.71, TimeStep), 2);  // 1.80
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 1.72, TimeStep), 1);  // 1.80 / 2
    EXPECT_EQ(collisionSubSteps(0.01f, 1.0f, 2.0, TimeStep), 3);   // the well's 1.51; ceil(2.02)
    EXPECT_EQ(collisionSubSteps(0.01f, 0.2f, 30.0, TimeStep), 6);  // 7.6 / 5; ceil(5.2)
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
