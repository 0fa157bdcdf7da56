// The batched pair loops on AVX2, four pairs per instruction. This file alone
// is compiled with -mavx2.
#include "pair_kernels.h"

#if defined(__x86_64__)

#include "lanes_avx2.h"
#include "pair_kernels_body.h"

namespace ljgas::kernels {

bool refreshRowAvx2(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                    std::int32_t* bin, std::int16_t* listI, std::int16_t* listJ, std::int32_t& listCount)
{
    return refreshRow<Avx2Lanes>(x, y, i, firstJ, count, rule, bin, listI, listJ, listCount);
}

bool pairKicksAvx2(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty)
{
    return pairKicks<Avx2Lanes>(pairs, count, sig6, e0, dt, tx, ty);
}

bool allFiniteAvx2(const float* v, int count) { return allFinite<Avx2Lanes>(v, count); }

}  // namespace ljgas::kernels

#else

namespace ljgas::kernels {

// Never called off x86-64: the level stays scalar there.
bool refreshRowAvx2(const float*, const float*, int, int, int, const RefreshRule&, std::int32_t*, std::int16_t*,
                    std::int16_t*, std::int32_t&)
{
    return false;
}
bool pairKicksAvx2(const PairPositions&, int, float, float, float, float*, float*)
{
    return false;
}
bool allFiniteAvx2(const float*, int) { return false; }

}  // namespace ljgas::kernels

#endif
