#include "runtime/random_variates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace ljgas {
namespace {

// The first variates of seed 7, as this build draws them; every build must.
TEST(RandomVariates, SameBitsForTheSameSeed)
{
    RandomVariates v(RandomSequence(7));
    EXPECT_EQ(v.uniform(), 0x1.6a3cbd29d51cp-3);
    EXPECT_EQ(v.normal(), -0x1.149bef975d96dp+0);
    EXPECT_EQ(v.normal(), 0x1.51063347bd33fp-1);  // the pair's second
    EXPECT_EQ(v.gamma(223.5), 0x1.b52e968e3abd3p+7);
    // And a thousand more, interleaved, by a hash of their bits.
    RandomVariates w(RandomSequence(7));
    std::uint64_t hash = 1469598103934665603ULL;
    for (int k = 0; k < 1000; ++k) {
        const double d = k % 3 == 0 ? w.normal() : k % 3 == 1 ? w.gamma(3.5) : w.uniform();
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        hash = (hash ^ bits) * 1099511628211ULL;
    }
    EXPECT_EQ(hash, 0x1c5680aa521fefa1ULL);
}

struct Moments {
    double mean = 0, variance = 0;
};

template <class Draw>
Moments moments(Draw&& draw, int count)
{
    double sum = 0, sum2 = 0;
    for (int k = 0; k < count; ++k) {
        const double d = draw();
        sum += d, sum2 += d * d;
    }
    const double mean = sum / count;
    return {mean, sum2 / count - mean * mean};
}

// Four and a half standard errors of 10^5 draws: a correct generator fails
// one seed in 10^5.
constexpr int Draws = 100000;
constexpr double StandardErrors = 4.5;

TEST(RandomVariates, NormalHasMeanZeroAndVarianceOne)
{
    RandomVariates v(RandomSequence(11));
    const Moments m = moments([&] { return v.normal(); }, Draws);
    EXPECT_NEAR(m.mean, 0.0, StandardErrors / std::sqrt(Draws));
    EXPECT_NEAR(m.variance, 1.0, StandardErrors * std::sqrt(2.0 / Draws));
}

// Gamma of shape a: mean a, variance a. Shape 223.5 is the canonical
// thermostat's chi-square for 225 discs; 1 is the method's edge.
TEST(RandomVariates, GammaHasMeanAndVarianceItsShape)
{
    for (const double shape : {1.0, 223.5}) {
        RandomVariates v(RandomSequence(13));
        const Moments m = moments([&] { return v.gamma(shape); }, Draws);
        EXPECT_NEAR(m.mean, shape, StandardErrors * std::sqrt(shape / Draws)) << shape;
        // The variance of the sample variance is about (mu4 - a^2) / count,
        // mu4 = 3a^2 + 6a for a gamma.
        EXPECT_NEAR(m.variance, shape, StandardErrors * std::sqrt((2 * shape * shape + 6 * shape) / Draws)) << shape;
    }
    RandomVariates v(RandomSequence(13));
    EXPECT_TRUE(std::isnan(v.gamma(0.5)));
}

}  // namespace
}  // namespace ljgas
