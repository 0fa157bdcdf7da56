// The batched pair loops on AVX-512, eight pairs per instruction, with lane
// masks for the short last batch of a stretch. This file alone is compiled
// for AVX-512.
#include "pair_kernels.h"

#if defined(__x86_64__)

#include "lanes_avx512.h"
#include "pair_kernels_body.h"

namespace ljgas::kernels {

bool refreshRowAvx512(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                      std::int32_t* bin, std::int16_t* listI, std::int16_t* listJ, std::int32_t& listCount)
{
    return refreshRow<Avx512Lanes>(x, y, i, firstJ, count, rule, bin, listI, listJ, listCount);
}

bool pairKicksAvx512(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty)
{
    return pairKicks<Avx512Lanes>(pairs, count, sig6, e0, dt, tx, ty);
}

}  // namespace ljgas::kernels

#else

namespace ljgas::kernels {

// Never called off x86-64: the level stays scalar there.
bool refreshRowAvx512(const float*, const float*, int, int, int, const RefreshRule&, std::int32_t*, std::int16_t*,
                      std::int16_t*, std::int32_t&)
{
    return false;
}
bool pairKicksAvx512(const PairPositions&, int, float, float, float, float*, float*)
{
    return false;
}

}  // namespace ljgas::kernels

#endif
