// The batched loops on AVX2, four pairs per instruction. This file alone is
// compiled with -mavx2.
#include "pair_kernels.h"

#if defined(__x86_64__)

#include "lanes_avx2.h"
#include "pair_kernels_body.h"

namespace ljgas::kernels {

extern const Kernels avx2Kernels = {
    refreshRow<Avx2Lanes>,    pairKicks<Avx2Lanes>,     exactPairKicks<Avx2Lanes>,
    kickTwice<Avx2Lanes>,     driftAndCheck<Avx2Lanes>, allFinite<Avx2Lanes>,
    squaredSpeeds<Avx2Lanes>, extendPaths<Avx2Lanes>,   binsAgree<Avx2Lanes>,
};

}  // namespace ljgas::kernels

#endif
