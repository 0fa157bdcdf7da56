// The batched pair loops against the one-pair-at-a-time code they replace:
// same list, same histogram, same velocities and positions to the bit, and
// the same error at the same point with the same values already written.
// Random states, states with pairs on bin boundaries, and failing states.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/drift.h"
#include "engine/exact_verlet.h"
#include "engine/forces.h"
#include "engine/histogram.h"
#include "engine/lattice.h"
#include "engine/neighbour_list.h"
#include "engine/record.h"
#include "engine/run_params.h"
#include "engine/simd_level.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Runs `work` with the given level; returns the error it ended with, if any.
template <class Work>
std::optional<ErrorKind> atLevel(SimdLevel level, Work work)
{
    const SimdLevel before = simdLevel();
    setSimdLevel(level);
    std::optional<ErrorKind> error;
    try {
        work();
    } catch (const EngineError& e) {
        error = e.kind();
    }
    setSimdLevel(before);
    return error;
}

void expectSameRecord(const Record& a, const Record& b)
{
    for (int k = 0; k <= ParticleArray::last; ++k) {
        ASSERT_TRUE(sameBits(a.x[k], b.x[k])) << "x " << k;
        ASSERT_TRUE(sameBits(a.y[k], b.y[k])) << "y " << k;
        ASSERT_TRUE(sameBits(a.vx[k], b.vx[k])) << "vx " << k;
        ASSERT_TRUE(sameBits(a.vy[k], b.vy[k])) << "vy " << k;
    }
    for (int k = 0; k <= HistogramArray::last; ++k)
        ASSERT_TRUE(sameBits(a.g[k], b.g[k])) << "g " << k;
}

// Parameter: the batched level compared with the one-pair code.
class BatchedPaths : public ::testing::TestWithParam<SimdLevel> {
protected:
    void SetUp() override
    {
        if (GetParam() > bestSimdLevel())
            GTEST_SKIP() << simdLevelName(GetParam()) << " is not available on this processor";
    }

    // 225 particles at random places, with random velocities and some
    // histogram already accumulated.
    Record randomRecord(float R)
    {
        Record rec;
        rec.n = 225;
        rec.R = R;
        rec.nbins = 200;
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        std::uniform_real_distribution<float> speed(-0.7f, 0.7f);
        for (int k = 1; k <= rec.n; ++k) {
            rec.x[k] = unit(gen_), rec.y[k] = unit(gen_);
            rec.vx[k] = speed(gen_), rec.vy[k] = speed(gen_);
        }
        for (int k = 1; k <= 1200; ++k)
            rec.g[k] = unit(gen_) * 50.0f;
        return rec;
    }

    std::mt19937 gen_{20261207};
};

struct RefreshOutcome {
    Record rec;
    NeighbourList list;
    PairCursor cursor;
    std::int64_t visits = 0;
    std::optional<ErrorKind> error;
};

// Refresh slices 1..slices in turn from a cursor at the start, at the given
// step, the way a run's steps do.
RefreshOutcome refreshAt(SimdLevel level, const Record& start, float rc2, float step, int slices)
{
    RunList run(start.n);
    RefreshOutcome out{start, NeighbourList(0), {}, 0, {}};
    out.error = atLevel(level, [&] {
        for (int s = 1; s <= slices; ++s)
            refreshAndBin(run, s, out.rec, rc2, step, out.visits);
    });
    out.list = run.list;
    out.cursor = run.cursor;
    return out;
}

void expectSameRefresh(const RefreshOutcome& a, const RefreshOutcome& b, int slices)
{
    ASSERT_EQ(a.error, b.error);
    EXPECT_EQ(a.visits, b.visits);
    expectSameRecord(a.rec, b.rec);
    if (a.error)
        return;  // the list and the cursor end with the run
    EXPECT_EQ(a.cursor.i, b.cursor.i);
    EXPECT_EQ(a.cursor.j, b.cursor.j);
    for (int s = 1; s <= slices; ++s) {
        ASSERT_EQ(a.list.ListCount[s], b.list.ListCount[s]) << "slice " << s;
        for (int k = 1; k <= a.list.ListCount[s]; ++k) {
            EXPECT_EQ(a.list.ListI(k, s), b.list.ListI(k, s));
            EXPECT_EQ(a.list.ListJ(k, s), b.list.ListJ(k, s));
        }
    }
}

TEST_P(BatchedPaths, RefreshMatchesOnRandomStatesForManyRadii)
{
    const float radii[] = {0.01f, 0.0123f, 0.02f, 0.003f, 0.05f, 0.5f};
    for (float R : radii) {
        SCOPED_TRACE("R = " + std::to_string(R));
        const Record rec = randomRecord(R);
        const float rc2 = static_cast<float>((static_cast<double>(R) * 64) * R);
        for (float step : {3.0f, 250.0f}) {  // warm-up, then weighted
            const RefreshOutcome one = refreshAt(SimdLevel::Scalar, rec, rc2, step, SliceCount);
            const RefreshOutcome batched = refreshAt(GetParam(), rec, rc2, step, SliceCount);
            expectSameRefresh(one, batched, SliceCount);
        }
    }
}

TEST_P(BatchedPaths, RefreshMatchesForPairsOnBinBoundaries)
{
    // Particle 1 at the origin of its row, the others at distances within a
    // few ulps of a bin edge (k + 1/2) * 14R / 200, where the rounding of the
    // bin turns on the last bits of the exact chain.
    Record rec = randomRecord(0.01f);
    std::uniform_int_distribution<int> bins(1, 900);
    std::uniform_int_distribution<int> ulps(-3, 3);
    const float x0 = 0.3f;
    const float y0 = 0.6f;
    for (int k = 1; k <= rec.n; ++k) {
        float d = static_cast<float>((bins(gen_) + 0.5) * 14.0 * 0.01 / 200.0);
        const int shift = ulps(gen_);
        for (int u = 0; u < std::abs(shift); ++u)
            d = std::nextafter(d, shift > 0 ? 1.0f : 0.0f);
        rec.x[k] = x0 + (k % 2 == 0 ? d : 0.0f);
        rec.y[k] = y0 + (k % 2 == 0 ? 0.0f : d);
    }
    const float rc2 = static_cast<float>((0.01 * 64) * 0.01);
    const RefreshOutcome one = refreshAt(SimdLevel::Scalar, rec, rc2, 500.0f, SliceCount);
    const RefreshOutcome batched = refreshAt(GetParam(), rec, rc2, 500.0f, SliceCount);
    expectSameRefresh(one, batched, SliceCount);
}

TEST_P(BatchedPaths, RefreshFailsAtTheSamePairWithTheSameHistogram)
{
    // Coincident particles: bin 0, a division by zero once weighted, with
    // the bins of the pairs before it already added.
    Record coincident = randomRecord(0.01f);
    coincident.x[40] = coincident.x[17];
    coincident.y[40] = coincident.y[17];
    // A negative radius: negative bins, outside the histogram.
    const Record negative = randomRecord(-0.01f);
    // A tiny radius: bins beyond 16 bits even in the warm-up.
    const Record tiny = randomRecord(1e-4f);
    // Histogram bins at the top of single precision: a weight of at most 1
    // rounds away, so they stay there and nothing fails.
    Record full = randomRecord(0.01f);
    for (int k = 1; k <= 1200; ++k)
        full.g[k] = 3.4028235e38f;

    struct Case {
        const char* name;
        const Record* rec;
        float step;
        std::optional<ErrorKind> expected;
    };
    const Case cases[] = {
        {"coincident", &coincident, 400.0f, ErrorKind::DivisionByZero},
        {"negative radius", &negative, 400.0f, ErrorKind::IndexOutOfRange},
        {"tiny radius", &tiny, 5.0f, ErrorKind::Overflow},
        {"full bins", &full, 400.0f, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const float rc2 = static_cast<float>((static_cast<double>(c.rec->R) * 64) * c.rec->R);
        const RefreshOutcome one = refreshAt(SimdLevel::Scalar, *c.rec, rc2, c.step, SliceCount);
        const RefreshOutcome batched = refreshAt(GetParam(), *c.rec, rc2, c.step, SliceCount);
        ASSERT_EQ(one.error, c.expected);
        expectSameRefresh(one, batched, SliceCount);
    }
}

struct KickOutcome {
    Record rec;
    std::optional<ErrorKind> error;
};

KickOutcome kickAt(SimdLevel level, const Record& start, const NeighbourList& list, const RunParams& p)
{
    KickOutcome out{start, {}};
    KickScratch scratch(list.ListCap * SliceCount);
    out.error = atLevel(level, [&] { kick(out.rec, list, p, scratch); });
    return out;
}

RunParams paramsFor(float R, float e0)
{
    RunParams p;
    p.rc2 = static_cast<float>((static_cast<double>(R) * 64) * R);
    const double r = R;
    p.sig6 = static_cast<float>(r * 64 * r * r * r * r * r);
    p.e0 = e0;
    p.R = R;
    return p;
}

TEST_P(BatchedPaths, KickMatchesOnRandomStates)
{
    for (float R : {0.01f, 0.02f, 0.005f}) {
        for (float e0 : {0.2f, 1.0f, -1.0f}) {
            SCOPED_TRACE("R = " + std::to_string(R) + ", e0 = " + std::to_string(e0));
            const Record rec = randomRecord(R);
            const RunParams p = paramsFor(R, e0);
            NeighbourList list(rec.n);
            PairCursor cursor;
            buildNeighbourList(list, cursor, rec, p.rc2);
            const KickOutcome one = kickAt(SimdLevel::Scalar, rec, list, p);
            const KickOutcome batched = kickAt(GetParam(), rec, list, p);
            ASSERT_FALSE(one.error);
            ASSERT_EQ(one.error, batched.error);
            expectSameRecord(one.rec, batched.rec);
        }
    }
}

TEST_P(BatchedPaths, KickFailsAtTheSamePairWithTheSameVelocities)
{
    const Record base = randomRecord(0.02f);
    NeighbourList list(base.n);
    PairCursor cursor;
    const RunParams p = paramsFor(0.02f, 0.2f);
    buildNeighbourList(list, cursor, base, p.rc2);
    ASSERT_GT(list.ListCount[10], 0);
    const int i = list.ListI(1, 10);
    const int j = list.ListJ(1, 10);

    // Particle j moved onto particle i: r^8 is zero at a pair in the middle
    // of the list, after the pairs of slices 1..9 have kicked.
    Record coincident = base;
    coincident.x[j] = coincident.x[i];
    coincident.y[j] = coincident.y[i];
    // An infinite well depth: the first pair's force overflows.
    RunParams infinite = p;
    infinite.e0 = INFINITY;
    // A well deep enough that the pair's kick, itself finite, carries
    // particle i, already as fast as single allows, over the top.
    RunParams deep = p;
    float push = 0.0f;
    for (deep.e0 = 1e20f; deep.e0 < 1e37f; deep.e0 *= 10.0f) {
        Record probe = base;
        probe.vx[i] = 0.0f;
        try {
            kickPair(probe, i, j, deep);
        } catch (const EngineError&) {
            continue;
        }
        push = probe.vx[i];
        if (std::fabs(push) > 2e31f)  // beyond half a unit in the last place of the largest single
            break;
    }
    ASSERT_GT(std::fabs(push), 2e31f);
    Record fast = base;
    fast.vx[i] = std::copysign(3.4028235e38f, push);

    struct Case {
        const char* name;
        const Record* rec;
        const RunParams* params;
        ErrorKind expected;
    };
    const Case cases[] = {{"coincident", &coincident, &p, ErrorKind::DivisionByZero},
                          {"infinite e0", &base, &infinite, ErrorKind::Overflow},
                          {"velocity over the top", &fast, &deep, ErrorKind::Overflow}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const KickOutcome one = kickAt(SimdLevel::Scalar, *c.rec, list, *c.params);
        const KickOutcome batched = kickAt(GetParam(), *c.rec, list, *c.params);
        EXPECT_EQ(one.error, c.expected);
        ASSERT_EQ(one.error, batched.error);
        expectSameRecord(one.rec, batched.rec);
    }
}

// The conserving dynamics' kicks on the lanes against the one-pair law: the
// lattice with disc 2 moved next to disc 1, from deep in the wall (kicks of
// 2^51 and more, left to the one-pair code, then beyond the integers) out
// past the cut-off, in every direction.
TEST_P(BatchedPaths, ExactKicksMatchTheOnePairLaw)
{
    Record lattice;
    RandomSequence random;
    initializeLattice(lattice, 0.01f, random);
    int large = 0, overflows = 0;
    for (int k = 0; k < 400; ++k) {
        Record rec = lattice;
        const double d = 0.004 * std::pow(1.0075, k);  // 0.2 sigma to 7.9 R
        rec.x[2] = rec.x[1] + static_cast<float>(d * std::cos(k)),
        rec.y[2] = rec.y[1] + static_cast<float>(d * std::sin(k));
        ExactVerlet scalar(rec.n, 0.01, 0.2, TimeStep, 4), lanes(rec.n, 0.01, 0.2, TimeStep, 4);
        std::string scalarError, lanesError;
        atLevel(SimdLevel::Scalar, [&] {
            try {
                scalar.load(rec);
            } catch (const EngineError& e) {
                scalarError = e.what();
            }
        });
        atLevel(GetParam(), [&] {
            try {
                lanes.load(rec);
            } catch (const EngineError& e) {
                lanesError = e.what();
            }
        });
        ASSERT_EQ(scalarError, lanesError) << "d = " << d;
        if (!scalarError.empty()) {
            ++overflows;
            continue;
        }
        ASSERT_EQ(scalar.halfKickX(), lanes.halfKickX()) << "d = " << d;
        ASSERT_EQ(scalar.halfKickY(), lanes.halfKickY()) << "d = " << d;
        if (std::abs(static_cast<double>(lanes.halfKickX()[1])) >= 0x1p51)
            ++large;
    }
    EXPECT_GT(large, 0);
    EXPECT_GT(overflows, 0);
}

// Whole conserving steps on the lanes (the two half kicks between drifts,
// the drift and the list's check) against the one-pair code: a hot gas
// stepped alike to the integer, and discs driven at the fastest velocity
// the integers hold failing at the same disc with the same state.
TEST_P(BatchedPaths, ConservingStepsMatchTheOnePairCode)
{
    Record lattice;
    RandomSequence random;
    initializeLattice(lattice, 0.01f, random);
    auto stepped = [&](SimdLevel level, const Record& rec, int steps, std::string& error) {
        ExactVerlet verlet(rec.n, 0.01, 0.2, TimeStep, 4);
        atLevel(level, [&] {
            try {
                verlet.load(rec);
                for (int s = 0; s < steps; ++s)
                    verlet.step();
            } catch (const EngineError& e) {
                error = e.what();
            }
        });
        return verlet;
    };
    Record hot = lattice;
    for (int k = 1; k <= hot.n; ++k)
        hot.vx[k] *= 3.0f, hot.vy[k] *= 3.0f;
    int failures = 0;
    // The hot gas; disc 2 nearly at the limit (disc 4 against it, so that
    // no momentum is taken out), alone, or landing after its first drift
    // just past disc 3, which pushes it beyond the limit in the half kicks
    // between two drifts.
    for (const float speed : {0.0f, 999.0f, 999.99f, -999.99f}) {
        Record rec = speed == 0.0f ? hot : lattice;
        if (speed != 0.0f)
            rec.vx[2] = speed, rec.vx[4] = -speed;
        if (speed > 999.5f || speed < -999.5f) {
            const float ahead = std::copysign(0.25f - 0.018f, speed);
            rec.x[3] = rec.x[2] + ahead - std::floor(rec.x[2] + ahead), rec.y[3] = rec.y[2];
        }
        std::string scalarError, lanesError;
        const ExactVerlet scalar = stepped(SimdLevel::Scalar, rec, 300, scalarError);
        const ExactVerlet lanes = stepped(GetParam(), rec, 300, lanesError);
        SCOPED_TRACE("speed " + std::to_string(speed));
        ASSERT_EQ(scalarError, lanesError);
        EXPECT_EQ(scalar.x(), lanes.x());
        EXPECT_EQ(scalar.y(), lanes.y());
        EXPECT_EQ(scalar.vx(), lanes.vx());
        EXPECT_EQ(scalar.vy(), lanes.vy());
        failures += scalarError.find("the kick of disc") != std::string::npos ? 1 : 0;
    }
    EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, BatchedPaths, ::testing::Values(SimdLevel::Avx2, SimdLevel::Avx512),
                         [](const ::testing::TestParamInfo<SimdLevel>& info) {
                             return std::string(simdLevelName(info.param));
                         });

struct DriftOutcome {
    Record rec;
    float v2sum = 0.0f;
    std::optional<ErrorKind> error;
};

// A refresh's worth of histogram weights, with bins repeating.
std::vector<std::int32_t> someBins()
{
    std::vector<std::int32_t> bins(1260);
    for (std::size_t m = 0; m < bins.size(); ++m)
        bins[m] = static_cast<std::int32_t>(1 + (m * 37) % 900);
    return bins;
}

// The refresh's weights, the drift of particles 1..n and then the kinetic
// sum, in passes one after another as a drawing run makes them, or in the
// one pass of a run that draws nothing.
DriftOutcome drift(const Record& start, bool onePass)
{
    static const std::vector<std::int32_t> bins = someBins();
    DriftOutcome out{start, 0.0f, {}};
    PendingWeights weights{bins.data(), static_cast<std::int32_t>(bins.size()), 0};
    out.error = atLevel(simdLevel(), [&] {
        if (onePass) {
            // As in a run: what the drift has not added when it fails, the
            // guard adds on the way out.
            const AddPendingWeightsOnExit addRest(weights, out.rec);
            out.v2sum = driftAllAndAddSquaredSpeeds(out.rec, TimeStep, 2.5f, weights);
        } else {
            weights.addAll(out.rec);
            for (int k = 1; k <= out.rec.n; ++k)
                driftAndWrap(out.rec, k, TimeStep);
            out.v2sum = addSquaredSpeeds(out.rec, 2.5f);
        }
    });
    EXPECT_EQ(weights.added, weights.count);  // every weight is in, error or not
    return out;
}

TEST(DriftAndKineticSum, OnePassMatchesTwoPassesAndFailsAlike)
{
    std::mt19937 gen(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Record rec;
    rec.n = 225;
    for (int k = 1; k <= rec.n; ++k)
        rec.x[k] = unit(gen), rec.y[k] = unit(gen), rec.vx[k] = unit(gen) - 0.5f, rec.vy[k] = unit(gen) - 0.5f;
    // Particles on and near the edges, and fast ones crossing them.
    rec.x[1] = 0.0f, rec.vx[1] = -0.3f;
    rec.x[2] = 1.0f, rec.vx[2] = 0.0f;
    rec.y[3] = 0.9999999f, rec.vy[3] = 0.4f;
    rec.x[4] = 1e-9f, rec.vx[4] = -1e-6f;
    rec.y[5] = 0.5f, rec.vy[5] = 2500.0f;

    // Particle 100's y overflows: its x has moved, unwrapped, and the
    // particles after it have not moved at all.
    Record driftFails = rec;
    driftFails.y[100] = 3.4e38f, driftFails.vy[100] = 3.0e38f;
    // Velocities whose squares sum beyond single: every particle has moved
    // when the sum fails.
    Record sumFails = rec;
    sumFails.vy[7] = 2e19f;  // vy^2 = 4e38

    for (const Record* start : {&rec, &driftFails, &sumFails}) {
        const DriftOutcome two = drift(*start, false);
        const DriftOutcome one = drift(*start, true);
        ASSERT_EQ(one.error, two.error);
        expectSameRecord(one.rec, two.rec);
        if (!two.error) {
            EXPECT_TRUE(sameBits(one.v2sum, two.v2sum));
        }
    }
    EXPECT_FALSE(drift(rec, true).error);
    EXPECT_EQ(drift(driftFails, true).error, ErrorKind::Overflow);
    EXPECT_TRUE(sameBits(drift(driftFails, true).rec.x[101], driftFails.x[101]));
    const DriftOutcome sum = drift(sumFails, true);
    EXPECT_EQ(sum.error, ErrorKind::Overflow);
    EXPECT_FALSE(sameBits(sum.rec.x[225], sumFails.x[225]));  // the drift went all the way
}

TEST(SinglePrecisionSums, AreTheDoubleSumRoundedOnce)
{
    // The batched kick adds in single precision where the one-pair kick adds
    // in double and rounds: equal because double has more than twice the
    // digits of single. Checked on random bit patterns of every magnitude.
    std::mt19937 gen(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int t = 0; t < 2000000; ++t) {
        std::uint32_t ua = bits(gen), ub = bits(gen);
        if (t % 2 == 0)  // nearby exponents too, where cancellation happens
            ub = (ua & 0xff800000u) ^ (ub & 0x807fffffu);
        float a, b;
        std::memcpy(&a, &ua, sizeof a);
        std::memcpy(&b, &ub, sizeof b);
        if (!std::isfinite(a) || !std::isfinite(b))
            continue;
        const float viaDouble = static_cast<float>(static_cast<double>(a) + b);
        const float single = a + b;
        ASSERT_TRUE(sameBits(viaDouble, single) || (std::isnan(viaDouble) && std::isnan(single))) << a << " + " << b;
    }
}

TEST(BinWeights, AreTheDivisionsTheRunWouldDo)
{
    volatile double one = 1.0;
    for (int k = 1; k <= HistogramArray::last; ++k)
        ASSERT_EQ(binWeight[static_cast<std::size_t>(k)], one / k) << k;
}

}  // namespace
}  // namespace ljgas
