#include "engine/forces.h"

#include <cmath>

#include <gtest/gtest.h>

#include "engine/lattice.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

constexpr float R = 0.01f;

RunParams params(float e0 = 0.2f)
{
    RunParams p;
    const double r = R;
    p.rc2 = static_cast<float>((r * 64) * r);
    p.sig6 = static_cast<float>(r * 64 * r * r * r * r * r);
    p.e0 = e0;
    p.R = R;
    return p;
}

// Two particles on a horizontal line, i = 1 at xi and j = 2 at xj, at rest.
Record pairAt(float xi, float xj)
{
    Record rec;
    rec.n = 2;
    rec.R = R;
    rec.x[1] = xi, rec.x[2] = xj;
    rec.y[1] = rec.y[2] = 0.5f;
    return rec;
}

TEST(PairForce, VanishesAtTheMinimumOfThePotential)
{
    const double rmin = std::pow(2.0, 1.0 / 6.0) * 2 * R;  // 2^(1/6) sigma
    const float r2 = static_cast<float>(rmin * rmin);
    const float r8 = static_cast<float>(static_cast<double>(r2) * r2 * r2 * r2);
    const RunParams p = params();
    const float f = pairForce(r2, r8, p.sig6, p.e0);
    // Scale of f near contact: 4 e0 * 6 / r^2.
    const double scale = 4 * 0.2 * 6 / r2;
    EXPECT_LT(std::fabs(f), 1e-5 * scale);

    const float closer = r2 * 0.98f, farther = r2 * 1.02f;
    EXPECT_LT(pairForce(closer, static_cast<float>(std::pow(double(closer), 4)), p.sig6, p.e0), 0.0f);
    EXPECT_GT(pairForce(farther, static_cast<float>(std::pow(double(farther), 4)), p.sig6, p.e0), 0.0f);
}

TEST(KickPair, RepelsAtContactAndAttractsBeyond)
{
    // At contact (r = sigma = 0.02) with j to the right of i: repulsion pushes
    // i to the left.
    Record rec = pairAt(0.5f, 0.52f);
    kickPair(rec, 1, 2, params());
    EXPECT_LT(rec.vx[1], 0.0f);
    EXPECT_GT(rec.vx[2], 0.0f);
    EXPECT_EQ(rec.vx[1], -rec.vx[2]);
    EXPECT_EQ(rec.vy[1], 0.0f);

    // At 2 sigma they attract: i moves towards j.
    rec = pairAt(0.5f, 0.54f);
    kickPair(rec, 1, 2, params());
    EXPECT_GT(rec.vx[1], 0.0f);
    EXPECT_LT(rec.vx[2], 0.0f);
}

TEST(KickPair, InteractsAcrossTheBoundary)
{
    // i at 0.02, j at 0.98: the vector from i to j is dx = -0.04 through the
    // edge, two diameters: attraction pulls i to the left, towards the edge.
    Record rec = pairAt(0.02f, 0.98f);
    kickPair(rec, 1, 2, params());
    EXPECT_LT(rec.vx[1], 0.0f);
    EXPECT_GT(rec.vx[2], 0.0f);

    // The same pair mirrored inside the box gets the mirrored kick.
    Record inside = pairAt(0.98f, 0.94f);
    kickPair(inside, 1, 2, params());
    EXPECT_NEAR(rec.vx[1], inside.vx[1], 1e-3f * std::fabs(inside.vx[1]));
}

TEST(KickPair, ExactRoundingOfTheKick)
{
    Record rec = pairAt(0.5f, 0.53f);
    rec.vx[1] = 0.125f, rec.vy[1] = -0.25f, rec.vx[2] = 0.3f, rec.vy[2] = 0.1f;
    rec.y[2] = 0.51f;
    const RunParams p = params();
    const Record before = rec;
    kickPair(rec, 1, 2, p);

    // The operation order and rounding points, from the single operands.
    const float dx = static_cast<float>(static_cast<double>(before.x[2]) - before.x[1]);
    const float dy = static_cast<float>(static_cast<double>(before.y[2]) - before.y[1]);
    const float r2 = static_cast<float>(double(dx) * dx + double(dy) * dy);
    const float r8 = static_cast<float>(((double(r2) * r2) * r2) * r2);
    const double s6 = p.sig6;
    const float f = static_cast<float>((s6 * 6 / r8 - s6 * 12 * s6 / (((double(r2) * r8) * r2) * r2)) *
                                       (double(p.e0) * 4));
    const float dtf = static_cast<float>(double(p.dt) * f);
    EXPECT_EQ(rec.vx[1], before.vx[1] + static_cast<float>(double(dtf) * dx));
    EXPECT_EQ(rec.vy[1], before.vy[1] + static_cast<float>(double(dtf) * dy));
    EXPECT_EQ(rec.vx[2], before.vx[2] - static_cast<float>(double(dtf) * dx));
    EXPECT_EQ(rec.vy[2], before.vy[2] - static_cast<float>(double(dtf) * dy));
}

TEST(KickPair, CoincidentParticlesDivideByZero)
{
    Record rec = pairAt(0.5f, 0.5f);
    try {
        kickPair(rec, 1, 2, params());
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::DivisionByZero);
    }
    EXPECT_EQ(rec.vx[1], 0.0f);  // nothing written
}

TEST(KickPair, ParticlesPushedTooCloseOverflow)
{
    Record rec = pairAt(0.5f, 0.50002f);  // r = 2e-5, far inside the core
    try {
        kickPair(rec, 1, 2, params());
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
}

TEST(KickPair, InfiniteWellDepthOverflows)
{
    Record rec = pairAt(0.5f, 0.53f);
    EXPECT_THROW(kickPair(rec, 1, 2, params(INFINITY)), EngineError);
}

TEST(Kick, ConservesMomentumToRounding)
{
    Record rec;
    RandomSequence random;
    initializeLattice(rec, R, random);
    // Squeeze the lattice so that many pairs interact strongly.
    for (int k = 1; k <= 225; ++k) {
        rec.x[k] = rec.x[k] * 0.3f + 0.35f;
        rec.y[k] = rec.y[k] * 0.3f + 0.35f;
    }
    const RunParams p = params();
    NeighbourList list(rec.n);
    PairCursor cursor;
    buildNeighbourList(list, cursor, rec, p.rc2);
    double px = 0, py = 0, change = 0;
    for (int k = 1; k <= 225; ++k)
        px += rec.vx[k], py += rec.vy[k];
    const Record before = rec;
    kick(rec, list, p);
    double qx = 0, qy = 0;
    for (int k = 1; k <= 225; ++k) {
        qx += rec.vx[k], qy += rec.vy[k];
        change += std::fabs(rec.vx[k] - before.vx[k]);
    }
    EXPECT_GT(change, 1.0);  // the kick did something
    EXPECT_NEAR(qx, px, 1e-5);
    EXPECT_NEAR(qy, py, 1e-5);
}

}  // namespace
}  // namespace ljgas
