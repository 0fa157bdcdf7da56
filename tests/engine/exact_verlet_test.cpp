#include "engine/exact_verlet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "engine/lattice.h"
#include "engine/record.h"
#include "engine/run_params.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

TEST(VerletSubSteps, FourAtTheDefaultGasAndMoreWhereItIsStiffer)
{
    EXPECT_EQ(verletSubSteps(0.01f, 0.2f, 0.3f, TimeStep), 4);
    EXPECT_EQ(verletSubSteps(0.01f, 0.2f, 1.0f, TimeStep), 5);
    EXPECT_EQ(verletSubSteps(0.005f, 0.2f, 1.0f, TimeStep), 10);
    EXPECT_EQ(verletSubSteps(0.01f, 1.0f, 0.3f, TimeStep), 7);
    EXPECT_EQ(verletSubSteps(0.01f, 0.0f, 0.0f, TimeStep), 1);  // nothing to resolve
}

// A gas hotter than the default (velocities doubled: T near 0.7) moves
// far between the list's builds; at every check the list's kicks must be,
// to the unit, those of all 25 200 pairs.
TEST(ExactVerlet, ListMissesNoPair)
{
    Record rec;
    RandomSequence random;
    initializeLattice(rec, 0.01f, random);
    for (int k = 1; k <= rec.n; ++k)
        rec.vx[k] *= 2.0f, rec.vy[k] *= 2.0f;
    ExactVerlet verlet(rec.n, 0.01, 0.2, TimeStep, 4);
    verlet.load(rec);
    std::vector<std::int64_t> hx, hy;
    for (int check = 0; check < 20; ++check) {
        for (int s = 0; s < 150; ++s)
            verlet.step();
        verlet.halfKicksOfAllPairs(hx, hy);
        ASSERT_EQ(hx, verlet.halfKickX()) << "after " << (check + 1) * 150 << " steps";
        ASSERT_EQ(hy, verlet.halfKickY()) << "after " << (check + 1) * 150 << " steps";
    }
    // The list was built afresh many times, and leaves out most pairs.
    EXPECT_GT(verlet.list().builds(), 300);
    EXPECT_LT(verlet.list().pairs().size(), 1500u);
}

std::int64_t sum(const std::vector<std::int64_t>& v) { return std::accumulate(v.begin(), v.end(), std::int64_t{0}); }

// Each pair's two kicks are opposite integers: the momentum, taken out at
// the load, stays exactly 0; a rescaling puts it back to 0.
TEST(ExactVerlet, MomentumExactlyZero)
{
    Record rec;
    RandomSequence random;
    initializeLattice(rec, 0.01f, random);
    rec.vx[7] += 0.25f;  // a drift of 1/900 to take out
    ExactVerlet verlet(rec.n, 0.01, 0.2, TimeStep, 4);
    verlet.load(rec);
    EXPECT_EQ(sum(verlet.vx()), 0);
    for (int s = 0; s < 500; ++s)
        verlet.step();
    EXPECT_EQ(sum(verlet.vx()), 0);
    EXPECT_EQ(sum(verlet.vy()), 0);
    verlet.rescale(1.0137);
    EXPECT_EQ(sum(verlet.vx()), 0);
    EXPECT_EQ(sum(verlet.vy()), 0);
}

}  // namespace
}  // namespace ljgas
