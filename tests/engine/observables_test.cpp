// Energies and pressure of hand-made states with known answers, and the
// cell search against a plain sum over every pair.
#include "engine/observables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/pair_distance.h"
#include "engine/record.h"

namespace ljgas {
namespace {

constexpr double e0 = 0.2;
// Positions are single precision: near 1 a coordinate is off by up to 3e-8,
// about 2e-6 of the distance 2^(1/6) sigma, and the virial changes there by
// 72 e0 dr/r. The potential, at its minimum, changes only to second order.
constexpr double PotentialTolerance = 1e-7;  // in units of e0
constexpr double PressureTolerance = 5e-4;

// Two discs of radius R at (x1, y1) and (x2, y2), at rest.
std::unique_ptr<Record> pair(float R, float x1, float y1, float x2, float y2)
{
    auto rec = std::make_unique<Record>();
    rec->n = 2;
    rec->R = R;
    rec->x[1] = x1;
    rec->y[1] = y1;
    rec->x[2] = x2;
    rec->y[2] = y2;
    return rec;
}

struct PairCase {
    const char* name;
    float R;
    float x1, y1, x2, y2;
    double potential;  // in units of e0
    double virial;     // sum of r.F, in units of e0; the pressure at rest is half of it
};

std::ostream& operator<<(std::ostream& out, const PairCase& c) { return out << c.name; }

class ObservablesOfAPair : public ::testing::TestWithParam<PairCase> {};

TEST_P(ObservablesOfAPair, MatchesTheLennardJonesFormulas)
{
    const PairCase& c = GetParam();
    const Observables o = measureObservables(*pair(c.R, c.x1, c.y1, c.x2, c.y2), e0, c.R);
    EXPECT_NEAR(o.potential, c.potential * e0, PotentialTolerance * e0);
    EXPECT_NEAR(o.pressure, c.virial * e0 / 2, PressureTolerance * e0);
    EXPECT_EQ(o.kinetic, 0.0);
    EXPECT_EQ(o.total, o.potential);
}

const double rMin = std::pow(2.0, 1.0 / 6.0) * 0.02;  // the minimum of V for R = 0.01
// V at r = 4 sigma, just inside the cut-off: 4 (4^-12 - 4^-6).
const double VJustInside = 4 * (std::pow(4.0, -12) - std::pow(4.0, -6));
const double WJustInside = 24 * (2 * std::pow(4.0, -12) - std::pow(4.0, -6));

INSTANTIATE_TEST_SUITE_P(Rows, ObservablesOfAPair,
                         ::testing::Values(
                             // At the minimum: V = -e0 and no force, so no virial.
                             PairCase{"AtTheMinimum", 0.01f, 0.0f, 0.5f, static_cast<float>(rMin), 0.5f, -1.0, 0.0},
                             PairCase{"AtTheMinimumAcrossTheEdge", 0.01f, 0.99f, 0.3f,
                                      static_cast<float>(0.99 + rMin - 1.0), 0.3f, -1.0, 0.0},
                             PairCase{"AtTheMinimumAcrossTheCorner", 0.01f, 0.995f, 0.995f,
                                      static_cast<float>(0.995 + rMin / std::sqrt(2.0) - 1.0),
                                      static_cast<float>(0.995 + rMin / std::sqrt(2.0) - 1.0), -1.0, 0.0},
                             // At r = sigma: V = 0, r.F = 24 e0 (2 - 1).
                             PairCase{"AtSigma", 0.01f, 0.5f, 0.0f, 0.5f, 0.02f, 0.0, 24.0},
                             // R = 1/64: 8R = 0.125 exactly. The cut-off itself is out, the float
                             // below it in.
                             PairCase{"AtTheCutOff", 0.015625f, 0.25f, 0.5f, 0.375f, 0.5f, 0.0, 0.0},
                             PairCase{"JustInsideTheCutOff", 0.015625f, 0.25f, 0.5f, std::nextafter(0.375f, 0.0f), 0.5f,
                                      VJustInside, WJustInside},
                             PairCase{"AtTheCutOffAcrossTheEdge", 0.015625f, 0.5f, 0.9375f, 0.5f, 0.0625f, 0.0, 0.0},
                             // x = 1 and x = 0 are the same line of the periodic box.
                             PairCase{"OnTheClosedEdge", 0.01f, 1.0f, 0.5f, 0.02f, 0.5f, 0.0, 24.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Observables, KineticEnergyAndCentreOfMassVelocity)
{
    auto rec = pair(0.01f, 0.1f, 0.1f, 0.6f, 0.6f);  // far apart
    rec->vx[1] = 1.0f;
    rec->vy[1] = 0.0f;
    rec->vx[2] = -3.0f;
    rec->vy[2] = 2.0f;
    const Observables o = measureObservables(*rec, e0, rec->R);
    EXPECT_EQ(o.kinetic, 7.0);  // (1 + 9 + 4) / 2
    EXPECT_EQ(o.potential, 0.0);
    EXPECT_EQ(o.pressure, 7.0);  // the ideal gas: P A = N T_ljgas / 2 = kinetic
    EXPECT_EQ(o.vcmX, -1.0);
    EXPECT_EQ(o.vcmY, 1.0);
}

// A jittered 15 x 15 lattice, as dense as the default gas, with every
// pair found by the plain double loop over all of them.
class ObservablesOfAGas : public ::testing::TestWithParam<float> {};

TEST_P(ObservablesOfAGas, FindEveryPairInsideTheCutOff)
{
    const float R = GetParam();
    auto rec = std::make_unique<Record>();
    rec->n = 225;
    rec->R = R;
    std::uint32_t seed = 12345;
    auto jitter = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.05;
    };
    for (int k = 1; k <= 225; ++k) {
        // Some discs on the edges 0 and 1, some just outside: the search
        // must take them into the box as the minimum image does.
        rec->x[k] = static_cast<float>(((k - 1) % 15) / 15.0 + jitter());
        rec->y[k] = static_cast<float>(((k - 1) / 15) / 15.0 + jitter());
    }
    rec->x[7] = 1.0f;
    rec->x[8] = 0.0f;

    const double sig6 = std::pow(2.0 * R, 6);
    double energy = 0.0;
    double virial = 0.0;
    double scale = 0.0;
    for (int i = 2; i <= 225; ++i) {
        for (int j = 1; j < i; ++j) {
            const double dx = minimumImage(static_cast<double>(rec->x[i]) - rec->x[j]);
            const double dy = minimumImage(static_cast<double>(rec->y[i]) - rec->y[j]);
            const double r2 = dx * dx + dy * dy;
            if (r2 >= 64.0 * R * R)
                continue;
            const double s = sig6 / (r2 * r2 * r2);
            energy += 4 * e0 * (s * s - s);
            virial += 24 * e0 * (2 * s * s - s);
            scale += 24 * e0 * (2 * s * s + s);
        }
    }
    ASSERT_GT(scale, 0.0);
    const Observables o = measureObservables(*rec, e0, rec->R);
    constexpr double SumOrder = 1e-12;  // the same terms added in another order
    EXPECT_NEAR(o.potential, energy, SumOrder * scale);
    EXPECT_NEAR(o.pressure, virial / 2, SumOrder * scale);
}

// 0.01: twelve cells per side; 0.04: three, the fewest the cells allow;
// 0.05: too few, every pair is examined.
INSTANTIATE_TEST_SUITE_P(Radii, ObservablesOfAGas, ::testing::Values(0.01f, 0.04f, 0.05f));

}  // namespace
}  // namespace ljgas
