// The guard of the neighbour list: unlisted pairs that come inside the well
// are put into their slices before the next kick, both when positions change
// from outside a run and when a fast disc outruns the 20-step refresh.
#include "engine/close_pair_guard.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "engine/lattice.h"
#include "engine/pair_distance.h"
#include "engine/run.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

class Guard : public ::testing::Test {
protected:
    Record rec;
    RandomSequence random;
    FakeHost host{rec};
    const double sigma = 0.02;

    void SetUp() override { initializeLattice(rec, host, random); }
    double distance(int i, int j) const { return std::sqrt(Radius2(rec.x[i], rec.x[j], rec.y[i], rec.y[j])); }
};

// Disc 17, 4.7 sigma from disc 1 on the lattice's diagonal, put just inside
// the bottom of disc 1's well between steps, as an opened state would: pair
// (17, 1), of stretch 1, is not due for a refresh until step 41, yet it
// repels from step 31 on.
TEST_F(Guard, PairPutCloseFromOutsideIsListedBeforeTheNextKick)
{
    float approach = 0.0f;
    host.onYield = [&](int yield) {
        if (yield == 30) {
            rec.x[17] = static_cast<float>(rec.x[1] + 1.05 * sigma);
            rec.y[17] = rec.y[1];
            ++rec.positionsVersion;
            approach = rec.vx[17] - rec.vx[1];
        }
    };
    host.run(31);
    EXPECT_EQ(host.stats.guardedPairs, 1);
    EXPECT_GT(rec.vx[17] - rec.vx[1], approach);  // pushed apart
}

// Disc 1 sent at speed 8 towards disc 17, 4.7 sigma away on the diagonal,
// right after step 1 refreshed slice 1 (which holds their pair) without it:
// it covers the 3.6 sigma to the well's bottom in 9 steps and would meet
// disc 17 unlisted. The guard, knowing only how far discs have travelled,
// lists the pair in time, and the collision goes as one at that speed
// should: the turning point lies near 0.78 sigma.
TEST_F(Guard, FastDiscIsCaughtBetweenTwoRefreshesOfItsSlice)
{
    host.showParticles();
    double closest = 1.0;
    host.onYield = [&](int yield) {
        if (yield == 1) {
            const double d = distance(17, 1);
            rec.vx[1] = static_cast<float>(8.0 * (rec.x[17] - rec.x[1]) / d);
            rec.vy[1] = static_cast<float>(8.0 * (rec.y[17] - rec.y[1]) / d);
        }
        if (yield > 1)
            closest = std::min(closest, distance(17, 1));
    };
    host.run(20);
    EXPECT_GE(host.stats.guardedPairs, 1);
    EXPECT_GT(closest, 0.7 * sigma);
    EXPECT_LT(closest, 0.9 * sigma);
    // The fast steps were cut into sub-steps, and each circle still erased
    // and drawn once a step.
    EXPECT_GE(host.stats.mostSubSteps, 3);
    EXPECT_EQ(host.erases, 20 * 225);
    EXPECT_EQ(host.draws, 20 * 225);
}

// Opening a state during a run: the run goes on from it, whatever list it
// holds. Twenty tries, each putting back the state of 300 steps before (what
// a third of a second is at the window's default speed).
TEST_F(Guard, StatePutInDuringARunRunsOnWithoutError)
{
    host.run(2000);
    Record earlier = rec;
    int tries = 0;
    host.onYield = [&](int yield) {
        if (yield % 600 == 300)
            earlier = rec;
        if (yield % 600 == 0 && tries < 20) {
            std::copy_n(earlier.x.data(), 226, rec.x.data());
            std::copy_n(earlier.y.data(), 226, rec.y.data());
            std::copy_n(earlier.vx.data(), 226, rec.vx.data());
            std::copy_n(earlier.vy.data(), 226, rec.vy.data());
            ++rec.positionsVersion;
            ++tries;
        }
    };
    EXPECT_NO_THROW(host.run(12100));
    EXPECT_EQ(tries, 20);
}

}  // namespace
}  // namespace ljgas
