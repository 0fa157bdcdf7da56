// The batched loops on AVX-512, eight pairs per instruction, with lane masks
// for the short last batch of a stretch. This file alone is compiled for
// AVX-512.
#include "pair_kernels.h"

#if defined(__x86_64__)

#include "lanes_avx512.h"
#include "pair_kernels_body.h"

namespace ljgas::kernels {

extern const Kernels avx512Kernels = {
    refreshRow<Avx512Lanes>,    pairKicks<Avx512Lanes>,     exactPairKicks<Avx512Lanes>,
    kickTwice<Avx512Lanes>,     driftAndCheck<Avx512Lanes>, allFinite<Avx512Lanes>,
    squaredSpeeds<Avx512Lanes>, extendPaths<Avx512Lanes>,   binsAgree<Avx512Lanes>,
};

}  // namespace ljgas::kernels

#endif
