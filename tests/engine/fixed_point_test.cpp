#include "engine/fixed_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ljgas {
namespace {

constexpr std::uint32_t Top = 0xffffffffu;

TEST(FixedPoint, PositionsOnTheBoxAndTheirWrap)
{
    EXPECT_EQ(positionToFixed(0.0f), 0u);
    EXPECT_EQ(positionToFixed(0.5f), 0x80000000u);
    // The float just below 1 is 1 - 2^-24: 2^32 - 2^8 units.
    EXPECT_EQ(positionToFixed(std::nextafter(1.0f, 0.0f)), 0xffffff00u);
    EXPECT_EQ(positionToFixed(1.0f), 0u);  // the far edge is the near one
    EXPECT_EQ(positionToFixed(-0.25f), 0xc0000000u);
    EXPECT_EQ(positionToFixed(1.25f), 0x40000000u);
    // Below 2^-9 a float has finer steps than a unit: rounded, half to even.
    EXPECT_EQ(positionToFixed(0x1.8p-33f), 1u);  // 0.75 units
    EXPECT_EQ(positionToFixed(0x1p-33f), 0u);    // half a unit, to even
    EXPECT_EQ(positionToFixed(0x1.8p-32f), 2u);  // 1.5 units, to even
    EXPECT_EQ(positionToFixed(0x1.4p-31f), 2u);  // 2.5 units, to even
    EXPECT_THROW(positionToFixed(std::numeric_limits<float>::infinity()), EngineError);

    EXPECT_EQ(fixedToPosition(0), 0.0f);
    EXPECT_EQ(fixedToPosition(0xffffff00u), std::nextafter(1.0f, 0.0f));
    EXPECT_EQ(fixedToPosition(Top), 1.0f);  // within half a float step of 1
    // Every lattice coordinate (j - 1/2) / 15 comes back as it went.
    for (int j = 1; j <= 15; ++j) {
        const float x = static_cast<float>((j - 0.5) / 15);
        EXPECT_EQ(fixedToPosition(positionToFixed(x)), x) << j;
    }
}

TEST(FixedPoint, SeparationIsTheMinimumImage)
{
    EXPECT_EQ(separation(Top - 9, 5), 15);  // across the edge, forward
    EXPECT_EQ(separation(5, Top - 9), -15);
    EXPECT_EQ(separation(0, 0x7fffffffu), 0x7fffffff);
    EXPECT_EQ(separation(0, 0x80000000u), INT32_MIN);  // half a box: -1/2, as minimumImage has it
}

TEST(FixedPoint, RoundingIsOddAndToNearest)
{
    EXPECT_EQ(roundOdd(0.0), 0);
    EXPECT_EQ(roundOdd(0.5), 1);
    EXPECT_EQ(roundOdd(-0.5), -1);
    EXPECT_EQ(roundOdd(2.5), 3);
    EXPECT_EQ(roundOdd(-2.5), -3);
    EXPECT_EQ(roundOdd(0.49999999999999994), 0);  // where adding 0.5 would round up
    EXPECT_EQ(roundOdd(-1.4999999999999998), -1);
    EXPECT_EQ(roundOdd(0x1p62 - 1024), (std::int64_t{1} << 62) - 1024);
    // Only overflows fail here.
    EXPECT_THROW(roundOdd(0x1p62), EngineError);
    EXPECT_THROW(roundOdd(-0x1p62), EngineError);
    EXPECT_THROW(roundOdd(std::nan("")), EngineError);
}

// A velocity of 2^32 units moves one position unit per inner step.
TEST(FixedPoint, DriftRoundsHalvesAwayFromZero)
{
    constexpr std::int64_t unit = std::int64_t{1} << 32;
    EXPECT_EQ(driftOf(0), 0);
    EXPECT_EQ(driftOf(unit / 2 - 1), 0);
    EXPECT_EQ(driftOf(unit / 2), 1);
    EXPECT_EQ(driftOf(-unit / 2), -1);
    EXPECT_EQ(driftOf(-unit / 2 + 1), 0);
    EXPECT_EQ(driftOf(3 * unit + unit / 2), 4);
    EXPECT_EQ(driftOf(LargestVelocity - 1), 1 << 30);
    EXPECT_EQ(driftOf(-(LargestVelocity - 1)), -(1 << 30));
    // The velocity's round trip, at the default run's tau 2^64 units per speed.
    const double unitsPerSpeed = (0.001 / 4) * 0x1p64;
    EXPECT_EQ(fixedToVelocity(velocityToFixed(-0.37f, unitsPerSpeed), unitsPerSpeed), -0.37f);
}

}  // namespace
}  // namespace ljgas
