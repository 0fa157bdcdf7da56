// The batched pair loops on AVX-512 (this file alone is compiled for it):
// eight pairs per instruction, with lane masks for the short last batch of a
// stretch. The same operations in the same order as the AVX2 file and the
// one-pair code, so every lane computes exactly what the one-pair code does.
#include "pair_kernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace ljgas::kernels {

namespace {

constexpr int floorMode = _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC;
constexpr int nearestMode = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;

// d minus the nearest integer, halves rounded up: d - floor(d + 1/2).
inline __m512d minimumImage8(__m512d d)
{
    return _mm512_sub_pd(d, _mm512_roundscale_pd(_mm512_add_pd(d, _mm512_set1_pd(0.5)), floorMode));
}

// Round to single and back to double. No overflow is possible where this is
// used: positions are finite, so minimum-image differences lie in
// [-1/2, 1/2], their squares and powers below 1, and a finite force times dt
// or times such a difference stays finite.
inline __m512d viaSingle(__m512d v) { return _mm512_cvtps_pd(_mm512_cvtpd_ps(v)); }

// The lanes m < valid of a batch of eight.
inline __mmask8 lanes(int valid) { return valid >= 8 ? __mmask8(0xff) : __mmask8((1u << valid) - 1u); }

inline __m512d loadWide(const float* p, __mmask8 mask) { return _mm512_cvtps_pd(_mm256_maskz_loadu_ps(mask, p)); }

}  // namespace

bool refreshRowAvx512(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                      std::int32_t* bin, std::int16_t* listI, std::int16_t* listJ, std::int32_t& listCount)
{
    const __m512d xi = _mm512_set1_pd(x[i]);
    const __m512d yi = _mm512_set1_pd(y[i]);
    const __m512d R = _mm512_set1_pd(rule.R);
    const __m512d fourteen = _mm512_set1_pd(14.0);
    const __m512d bins = _mm512_set1_pd(rule.nbins);
    const __m512d lowest = _mm512_set1_pd(rule.lowestBin);
    const __m512d highest = _mm512_set1_pd(rule.highestBin);
    const __m256 rc2 = _mm256_set1_ps(rule.rc2);
    const __m512d half = _mm512_set1_pd(0.5);
    // Twice the estimate's relative error bound (see below).
    const __m512d errorBound = _mm512_set1_pd(1.2e-7);
    const double perLength = static_cast<double>(rule.nbins) / 14.0 / rule.R;
    const __m512d binsPerLength = _mm512_set1_pd(perLength);
    const bool useEstimate = rule.R > 0.0f && perLength > 1e-300 && perLength < 1e300;
    const float* xj = x + firstJ;
    const float* yj = y + firstJ;
    const auto I = static_cast<std::int16_t>(i);
    const __m128i rowI = _mm_set1_epi16(I);
    const __m256i laneNumbers = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    std::int32_t stored = listCount;
    __mmask8 anyBad = 0;

    for (int m = 0; m < count; m += 8) {
        const __mmask8 valid = lanes(count - m);

        // Radius2: differences and squares in double, dx, dy, r^2 in single.
        const __m512d dx = viaSingle(minimumImage8(_mm512_sub_pd(xi, loadWide(xj + m, valid))));
        const __m512d dy = viaSingle(minimumImage8(_mm512_sub_pd(yi, loadWide(yj + m, valid))));
        const __m256 r2 = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_mul_pd(dx, dx), _mm512_mul_pd(dy, dy)));

        // The bin, ((r / R) / 14) * nbins rounded half to even, first from
        // the single-precision root times nbins / 14R: off from the exact
        // chain by a relative 6e-8 at most, so wherever it is not within
        // twice that of a half-integer it rounds to the same bin. Batches
        // with a lane that close (about one pair in ten thousand) take the
        // exact chain, whose double root and two divisions are the slowest
        // instructions there are.
        const __m512d estimate = _mm512_mul_pd(_mm512_cvtps_pd(_mm256_sqrt_ps(r2)), binsPerLength);
        __m512d rounded = _mm512_roundscale_pd(estimate, nearestMode);
        const __m512d offHalf = _mm512_abs_pd(_mm512_sub_pd(_mm512_abs_pd(_mm512_sub_pd(estimate, rounded)), half));
        const __m512d margin = _mm512_mul_pd(_mm512_abs_pd(estimate), errorBound);
        if (!useEstimate || _mm512_cmp_pd_mask(offHalf, margin, _CMP_NGT_UQ) != 0) {
            const __m512d r = _mm512_sqrt_pd(_mm512_cvtps_pd(r2));
            rounded = _mm512_roundscale_pd(_mm512_mul_pd(_mm512_div_pd(_mm512_div_pd(r, R), fourteen), bins),
                                           nearestMode);
        }
        // A bin in the allowed range also fits 16 bits; NaN is outside.
        anyBad |= valid & (_mm512_cmp_pd_mask(rounded, lowest, _CMP_NGE_UQ) |
                           _mm512_cmp_pd_mask(rounded, highest, _CMP_NLE_UQ));
        _mm256_mask_storeu_epi32(bin + m, valid, _mm512_cvtpd_epi32(rounded));

        // The close pairs go to the list in sequence order: packed together
        // and written eight at a time (what lies past the count is unused),
        // as long as eight more entries fit the slice; one by one after that.
        unsigned close = valid & _mm256_cmp_ps_mask(r2, rc2, _CMP_LT_OQ);
        if (stored + 8 <= rule.listCap) {
            const __m256i j = _mm256_add_epi32(_mm256_set1_epi32(firstJ + m), laneNumbers);
            const __m256i packed = _mm256_maskz_compress_epi32(static_cast<__mmask8>(close), j);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(listJ + stored + 1), _mm256_cvtepi32_epi16(packed));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(listI + stored + 1), rowI);
            stored += __builtin_popcount(close);
            close = 0;
        }
        while (close != 0) {
            ++stored;
            listI[stored] = I;
            listJ[stored] = static_cast<std::int16_t>(firstJ + m + __builtin_ctz(close));
            close &= close - 1;
        }
    }
    listCount = stored;
    return anyBad == 0;
}

bool pairKicksAvx512(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty)
{
    const __m512d s6 = _mm512_set1_pd(sig6);
    const __m512d attractionTop = _mm512_mul_pd(s6, _mm512_set1_pd(6.0));
    const __m512d repulsionTop = _mm512_mul_pd(_mm512_mul_pd(s6, _mm512_set1_pd(12.0)), s6);
    const __m512d depth = _mm512_mul_pd(_mm512_set1_pd(e0), _mm512_set1_pd(4.0));
    const __m512d step = _mm512_set1_pd(dt);
    const __m512d zero = _mm512_setzero_pd();
    const __m256 infinity = _mm256_set1_ps(__builtin_inff());
    __mmask8 anyBad = 0;

    for (int m = 0; m < count; m += 8) {
        const __mmask8 valid = lanes(count - m);

        const __m512d xI = loadWide(pairs.xi + m, valid);
        const __m512d yI = loadWide(pairs.yi + m, valid);
        const __m512d xJ = loadWide(pairs.xj + m, valid);
        const __m512d yJ = loadWide(pairs.yj + m, valid);

        // The vector from i to j, and r^2, r^8 in single.
        const __m512d dx = viaSingle(minimumImage8(_mm512_sub_pd(xJ, xI)));
        const __m512d dy = viaSingle(minimumImage8(_mm512_sub_pd(yJ, yI)));
        const __m512d r2 = viaSingle(_mm512_add_pd(_mm512_mul_pd(dx, dx), _mm512_mul_pd(dy, dy)));
        const __m512d r8 = viaSingle(_mm512_mul_pd(_mm512_mul_pd(_mm512_mul_pd(r2, r2), r2), r2));

        // f = 6 sigma^6 / r^8 - 12 sigma^12 / r^14, times 4 e0, rounded once.
        const __m512d attraction = _mm512_div_pd(attractionTop, r8);
        const __m512d r14 = _mm512_mul_pd(_mm512_mul_pd(_mm512_mul_pd(r2, r8), r2), r2);
        const __m512d repulsion = _mm512_div_pd(repulsionTop, r14);
        const __m256 f = _mm512_cvtpd_ps(_mm512_mul_pd(_mm512_sub_pd(attraction, repulsion), depth));
        anyBad |= valid & (_mm512_cmp_pd_mask(r8, zero, _CMP_EQ_OQ) | _mm512_cmp_pd_mask(r14, zero, _CMP_EQ_OQ) |
                           _mm256_cmp_ps_mask(_mm256_andnot_ps(_mm256_set1_ps(-0.0f), f), infinity, _CMP_NLT_UQ));

        // dt*f rounded before it multiplies dx and dy.
        const __m512d dtf = viaSingle(_mm512_mul_pd(step, _mm512_cvtps_pd(f)));
        _mm256_mask_storeu_ps(tx + m, valid, _mm512_cvtpd_ps(_mm512_mul_pd(dtf, dx)));
        _mm256_mask_storeu_ps(ty + m, valid, _mm512_cvtpd_ps(_mm512_mul_pd(dtf, dy)));
    }
    return anyBad == 0;
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
