// Uniform, normal and gamma variates in double precision, drawn from the
// program's random sequence with portable arithmetic only.
#pragma once

#include "random_sequence.h"

namespace ljgas {

// Every value here is made from the sequence's draws by IEEE operations and
// portableLog (portable_math.h), so a seed gives the same variates, to the
// bit, on every machine and in every build.
class RandomVariates {
public:
    explicit RandomVariates(RandomSequence sequence) : sequence_(sequence) {}

    // Uniform in (0, 1) on the grid (k + 1/2) / 2^48, k = 0..2^48-1: two draws
    // of 24 bits each, never 0 nor 1.
    double uniform();

    // Standard normal, by Marsaglia's polar method: a point uniform in the unit
    // disc, (u, v) with s = u^2 + v^2, gives the two independent normals
    // u sqrt(-2 ln s / s) and v sqrt(-2 ln s / s). The second is kept for the
    // next call.
    double normal();

    // Gamma with the given shape (at least 1) and scale 1, by Marsaglia and
    // Tsang's method (ACM TOMS 26, 363 (2000)): a normal x transformed to
    // d (1 + x / sqrt(9d))^3, d = shape - 1/3, and accepted by a squeeze or by
    // the log-density test. A chi-square variate with m degrees of freedom is
    // 2 gamma(m / 2). A shape below 1 gives NaN.
    double gamma(double shape);

private:
    RandomSequence sequence_;
    double spareNormal_ = 0.0;
    bool haveSpare_ = false;
};

}  // namespace ljgas
