#include "engine/pair_distance.h"

#include <limits>

#include <gtest/gtest.h>

namespace ljgas {
namespace {

TEST(Int, IsTheFloorForEveryKindOfValue)
{
    EXPECT_EQ(Int(1.5), 1.0);
    EXPECT_EQ(Int(-1.5), -2.0);
    EXPECT_EQ(Int(-1.0), -1.0);
    EXPECT_EQ(Int(-0.0), 0.0);
    EXPECT_EQ(Int(-1e-300), -1.0);
    EXPECT_EQ(Int(0.49999999999999994), 0.0);
    EXPECT_EQ(Int(1e300), 1e300);
    EXPECT_EQ(Int(-4503599627370495.5), -4503599627370496.0);
}

TEST(MinimumImage, HalvesGoToMinusOneHalf)
{
    EXPECT_EQ(minimumImage(0.5), -0.5);
    EXPECT_EQ(minimumImage(-0.5), -0.5);
    EXPECT_EQ(minimumImage(0.3), 0.3);
    EXPECT_EQ(minimumImage(1.0), 0.0);
    EXPECT_EQ(minimumImage(-1.0), 0.0);
}

struct DistanceCase {
    float x1, x2, y1, y2;
    float expected;
};

class Radius2Cases : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(Radius2Cases, MatchesTheMinimumImage)
{
    const auto c = GetParam();
    EXPECT_EQ(Radius2(c.x1, c.x2, c.y1, c.y2), c.expected);
    // Exchanging the particles gives the same distance.
    EXPECT_EQ(Radius2(c.x2, c.x1, c.y2, c.y1), c.expected);
}

// dx from 0.9 - 0.1 is -0.2 after the image shift, rounded to single; its
// square in double, rounded once, is the result.
float squaredSeparation(float a, float b)
{
    const float d = static_cast<float>((static_cast<double>(a) - b) - 1.0);
    return static_cast<float>(static_cast<double>(d) * d);
}
const float across = squaredSeparation(0.9f, 0.1f);

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, Radius2Cases,
    ::testing::Values(DistanceCase{0.3f, 0.3f, 0.7f, 0.7f, 0.0f}, DistanceCase{0.9f, 0.1f, 0.5f, 0.5f, across},
                      DistanceCase{0.75f, 0.25f, 0.5f, 0.5f, 0.25f}, DistanceCase{0.25f, 0.75f, 0.5f, 0.5f, 0.25f},
                      DistanceCase{1.0f, 0.0f, 0.5f, 0.5f, 0.0f}, DistanceCase{0.5f, 0.5f, 1.0f, 0.0f, 0.0f},
                      DistanceCase{0.75f, 0.25f, 0.75f, 0.25f, 0.5f}, DistanceCase{0.0f, 0.5f, 0.0f, 0.5f, 0.5f}));

TEST(Radius2, SeparationOfPointTwoAndPointThree)
{
    EXPECT_NEAR(Radius2(0.9f, 0.1f, 0.0f, 0.0f), 0.04f, 1e-8f);
    // 0.3 is below half the box: no image shift.
    const float dx = static_cast<float>(static_cast<double>(0.6f) - 0.3f);
    EXPECT_EQ(Radius2(0.6f, 0.3f, 0.2f, 0.2f), static_cast<float>(static_cast<double>(dx) * dx));
    EXPECT_NEAR(Radius2(0.6f, 0.3f, 0.2f, 0.2f), 0.09f, 1e-7f);
}

TEST(Radius2, ResultNeverExceedsOneHalf)
{
    for (float a = 0.0f; a <= 1.0f; a += 0.0625f)
        for (float b = 0.0f; b <= 1.0f; b += 0.0625f) {
            const float r2 = Radius2(a, b, b, a);
            EXPECT_GE(r2, 0.0f);
            EXPECT_LE(r2, 0.5f);
        }
}

TEST(Radius2, InfiniteCoordinatesFail)
{
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_THROW(Radius2(inf, 0.5f, 0.5f, 0.5f), EngineError);
    EXPECT_THROW(Radius2(0.5f, 0.5f, 0.5f, -inf), EngineError);
}

}  // namespace
}  // namespace ljgas
