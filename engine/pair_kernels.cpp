#include "pair_kernels.h"

#include <cmath>

namespace ljgas::kernels {

#if defined(__x86_64__)
extern const Kernels avx2Kernels;    // pair_kernels_avx2.cpp
extern const Kernels avx512Kernels;  // pair_kernels_avx512.cpp
#endif

namespace {

// The plain loops of the scalar level, which the batched ones match to the
// bit: the same single-precision operations, element by element.

bool allFiniteScalar(const float* v, int count)
{
    for (int m = 0; m < count; ++m) {
        if (!std::isfinite(v[m]))
            return false;
    }
    return true;
}

float squaredSpeedsScalar(const float* vx, const float* vy, int count, float* speed2)
{
    float fastest = 0.0f;
    for (int m = 0; m < count; ++m) {
        speed2[m] = vx[m] * vx[m] + vy[m] * vy[m];
        fastest = speed2[m] > fastest ? speed2[m] : fastest;
    }
    return fastest;
}

float extendPathsScalar(const float* speed2, int count, float dt, float* step, float* oldest, float* path)
{
    float longest = 0.0f;
    for (int m = 0; m < count; ++m) {
        const float move = step[m] + dt * std::sqrt(speed2[m]);
        path[m] = (path[m] + move) - oldest[m];
        oldest[m] = move;
        step[m] = 0.0f;
        longest = path[m] > longest ? path[m] : longest;
    }
    return longest;
}

bool binsAgreeScalar(const float* g, const double* sum, int count, double tolerance)
{
    for (int m = 0; m < count; ++m) {
        if (std::fabs(static_cast<double>(g[m]) - sum[m]) > sum[m] * tolerance)
            return false;
    }
    return true;
}

const Kernels scalarKernels = {
    nullptr,           nullptr,         nullptr, nullptr, nullptr, allFiniteScalar, squaredSpeedsScalar,
    extendPathsScalar, binsAgreeScalar,
};

}  // namespace

const Kernels& kernelsFor(SimdLevel level)
{
#if defined(__x86_64__)
    if (level >= SimdLevel::Avx512)
        return avx512Kernels;
    if (level >= SimdLevel::Avx2)
        return avx2Kernels;
#endif
    (void)level;
    return scalarKernels;
}

}  // namespace ljgas::kernels
