#include "runtime/portable_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ljgas {
namespace {

// The library's functions stand as the reference here, and only here: these
// must agree with them to within a few units in the last place.
constexpr double LastPlaces = 2.0;

double unitsApart(double a, double reference)
{
    return std::fabs(a - reference) / (std::nextafter(std::fabs(reference), INFINITY) - std::fabs(reference));
}

TEST(PortableMath, LogWithinTwoUnitsOfTheLastPlace)
{
    // Across the binades, near 1 (where the series is shortest and the
    // cancellation worst), near sqrt(2), and subnormal.
    for (const double x : {1e-310, 1e-300, 1.7e-17, 0.01, 0.5, 0.7071067811865476, 0.9999999, 1.0000001, 1.4142135,
                           1.4142136, 2.0, 3.0, 10.0, 1e10, 1.7e308}) {
        EXPECT_LE(unitsApart(portableLog(x), std::log(x)), LastPlaces) << x;
    }
    for (double x = 1e-6; x < 1e6; x *= 1.0173)
        ASSERT_LE(unitsApart(portableLog(x), std::log(x)), LastPlaces) << x;
    EXPECT_EQ(portableLog(1.0), 0.0);
    EXPECT_EQ(portableLog(0.0), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(portableLog(-1.0)));
}

TEST(PortableMath, ExpWithinTwoUnitsOfTheLastPlace)
{
    for (double x = -700.0; x < 700.0; x += 0.7731)
        ASSERT_LE(unitsApart(portableExp(x), std::exp(x)), LastPlaces) << x;
    for (const double x : {-0.1, -1e-10, 1e-10, 0.34657359, -0.34657360, 709.7})
        EXPECT_LE(unitsApart(portableExp(x), std::exp(x)), LastPlaces) << x;
    EXPECT_EQ(portableExp(0.0), 1.0);
    EXPECT_EQ(portableExp(710.0), std::numeric_limits<double>::infinity());
    EXPECT_EQ(portableExp(-746.0), 0.0);
}

}  // namespace
}  // namespace ljgas
