#include "engine/lattice.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/checked.h"
#include "engine/record.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

float site(int index) { return static_cast<float>((index - 0.5) / 15); }

TEST(Lattice, SitesToTheBit)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    host.showParticles();
    initializeLattice(rec, host, random);

    EXPECT_EQ(rec.n, 225);
    struct Site {
        int k;
        float x, y;
    };
    for (const Site s : {Site{1, 1.0f / 30, 1.0f / 30}, Site{2, 1.0f / 30, 0.1f}, Site{15, 1.0f / 30, 29.0f / 30},
                         Site{16, 0.1f, 1.0f / 30}, Site{225, 29.0f / 30, 29.0f / 30}}) {
        EXPECT_EQ(rec.x[s.k], s.x) << "particle " << s.k;
        EXPECT_EQ(rec.y[s.k], s.y) << "particle " << s.k;
    }
    // Column c = (k-1)/15 + 1, row r = (k-1) mod 15 + 1, for every particle.
    for (int k = 1; k <= 225; ++k) {
        EXPECT_EQ(rec.x[k], site((k - 1) / 15 + 1)) << k;
        EXPECT_EQ(rec.y[k], site((k - 1) % 15 + 1)) << k;
    }
    EXPECT_EQ(host.fullRedraws, 1);
}

TEST(Lattice, RandomDrawsGoRowByRow)
{
    Record rec;
    RandomSequence random;
    initializeLattice(rec, 0.01f, random);

    // The same draws again, assigned in the order of the lattice rows: the
    // first pair to particle 1, the next to 16, 31, ..., then 2, 17, ...
    RandomSequence replay;
    std::vector<float> rawX(226), rawY(226);
    float Sx = 0.0f, Sy = 0.0f;
    for (int row = 1; row <= 15; ++row)
        for (int column = 1; column <= 15; ++column) {
            const int k = (column - 1) * 15 + row;
            rawX[k] = replay.next() - 0.5f;
            rawY[k] = replay.next() - 0.5f;
            Sx += rawX[k];
            Sy += rawY[k];
        }
    for (int k = 1; k <= 225; ++k) {
        EXPECT_EQ(rec.vx[k], static_cast<float>(rawX[k] - static_cast<double>(Sx) / 225)) << k;
        EXPECT_EQ(rec.vy[k], static_cast<float>(rawY[k] - static_cast<double>(Sy) / 225)) << k;
    }
    // The sequence has moved on by exactly 450 draws.
    RandomSequence skip;
    for (int d = 0; d < 450; ++d)
        skip.next();
    EXPECT_EQ(skip.next(), random.next());
}

TEST(Lattice, VelocitiesHaveNoMeanAndStayInRange)
{
    Record rec;
    RandomSequence random;
    for (int call = 0; call < 3; ++call) {
        initializeLattice(rec, 0.01f, random);
        double sx = 0, sy = 0;
        for (int k = 1; k <= 225; ++k) {
            sx += rec.vx[k];
            sy += rec.vy[k];
            // Drawn in [-0.5, 0.5), then shifted by the mean of 225 draws.
            EXPECT_LT(std::fabs(rec.vx[k]), 0.6f);
            EXPECT_LT(std::fabs(rec.vy[k]), 0.6f);
        }
        // 225 roundings of values below 0.5: each at most 2^-26 off.
        const double tolerance = 225 * std::ldexp(1.0, -25);
        EXPECT_LT(std::fabs(sx), tolerance);
        EXPECT_LT(std::fabs(sy), tolerance);
    }
}

TEST(Lattice, SameVelocitiesEveryProgramStartNewOnesOnTheSecondCall)
{
    Record first, second;
    RandomSequence randomA, randomB;  // two program starts
    initializeLattice(first, 0.01f, randomA);
    initializeLattice(second, 0.01f, randomB);
    for (int k = 1; k <= 225; ++k) {
        EXPECT_EQ(first.vx[k], second.vx[k]);
        EXPECT_EQ(first.vy[k], second.vy[k]);
    }
    initializeLattice(second, 0.01f, randomB);  // second press of Initialize
    int changed = 0;
    for (int k = 1; k <= 225; ++k) {
        EXPECT_EQ(first.x[k], second.x[k]);
        EXPECT_EQ(first.y[k], second.y[k]);
        changed += first.vx[k] != second.vx[k];
    }
    EXPECT_GT(changed, 200);
}

TEST(Lattice, UnusedIndexesAndRunStateAreUntouched)
{
    Record rec;
    for (int k : {0, 226, 500, 1000}) {
        rec.x[k] = 7.0f;
        rec.y[k] = 7.0f;
        rec.vx[k] = 7.0f;
        rec.vy[k] = 7.0f;
    }
    rec.g[1] = 3.0f;
    rec.nbins = 200;
    rec.PauseMark = -1;
    RandomSequence random;
    initializeLattice(rec, 0.01f, random);
    for (int k : {0, 226, 500, 1000}) {
        EXPECT_EQ(rec.x[k], 7.0f);
        EXPECT_EQ(rec.y[k], 7.0f);
        EXPECT_EQ(rec.vx[k], 7.0f);
        EXPECT_EQ(rec.vy[k], 7.0f);
    }
    EXPECT_EQ(rec.g[1], 3.0f);
    EXPECT_EQ(rec.nbins, 200);
    EXPECT_EQ(rec.PauseMark, -1);
}

struct RadiusText {
    const char* text;
    float R;
};

class RadiusFromBox : public ::testing::TestWithParam<RadiusText> {};

TEST_P(RadiusFromBox, IsTheLeadingNumberRoundedToSingle)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    host.showParticles();
    host.Rtext = GetParam().text;
    initializeLattice(rec, host, random);
    EXPECT_EQ(rec.R, GetParam().R);
    EXPECT_EQ(rec.x[225], 29.0f / 30);  // positions are set whatever R is
}

INSTANTIATE_TEST_SUITE_P(Texts, RadiusFromBox,
                         ::testing::Values(RadiusText{"0.01", 0.01f}, RadiusText{"0.02abc", 0.02f},
                                           RadiusText{"", 0.0f}, RadiusText{"abc", 0.0f}, RadiusText{"-0.5", -0.5f},
                                           RadiusText{"3.4028234e38", 3.4028234e38f}));

TEST(Lattice, RadiusBeyondSinglePrecisionFailsBeforeAnyParticleMoves)
{
    Record rec;
    rec.R = 0.5f;
    RandomSequence random;
    FakeHost host(rec);
    host.showParticles();
    host.Rtext = "1e39";
    try {
        initializeLattice(rec, host, random);
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(rec.n, 225);  // set before R is read
    EXPECT_EQ(rec.R, 0.5f);
    for (int k = 1; k <= 225; ++k) {
        EXPECT_EQ(rec.x[k], 0.0f);
        EXPECT_EQ(rec.vx[k], 0.0f);
    }
    EXPECT_EQ(host.fullRedraws, 0);
    // No draw was taken either: the next call gives the first velocities.
    Record fresh;
    RandomSequence other;
    initializeLattice(fresh, 0.01f, other);
    host.Rtext = "0.01";
    initializeLattice(rec, host, random);
    EXPECT_EQ(rec.vx[1], fresh.vx[1]);
}

}  // namespace
}  // namespace ljgas
