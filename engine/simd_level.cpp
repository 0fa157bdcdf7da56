#include "simd_level.h"

namespace ljgas {

namespace {

SimdLevel detect()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512dq"))
        return SimdLevel::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return SimdLevel::Avx2;
#endif
    return SimdLevel::Scalar;
}

SimdLevel& current()
{
    static SimdLevel level = detect();
    return level;
}

}  // namespace

SimdLevel bestSimdLevel()
{
    static const SimdLevel best = detect();
    return best;
}

SimdLevel simdLevel() { return current(); }

SimdLevel setSimdLevel(SimdLevel level)
{
    current() = level <= bestSimdLevel() ? level : bestSimdLevel();
    return current();
}

const char* simdLevelName(SimdLevel level)
{
    switch (level) {
    case SimdLevel::Scalar: return "scalar";
    case SimdLevel::Avx2: return "avx2";
    case SimdLevel::Avx512: return "avx512";
    }
    return "?";
}

}  // namespace ljgas
