// The batched pair loops on AVX2 (this file alone is compiled with -mavx2):
// four pairs per instruction, in double
// precision where the one-pair code works in double, rounded to single where
// it rounds. The default rounding mode is in force throughout, and the
// compiler may not contract or reorder anything, so every lane computes
// exactly what the one-pair code computes.
#include "pair_kernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <climits>

namespace ljgas::kernels {

namespace {

// Lanes whose single-precision value is infinite or NaN: what toSingle rejects.
inline __m128 notFinite(__m128 v)
{
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), v);
    return _mm_cmp_ps(magnitude, _mm_set1_ps(__builtin_inff()), _CMP_NLT_UQ);
}

// Round four doubles to single where the one-pair code rounds without a
// chance of overflow: positions are finite, so minimum-image differences lie
// in [-1/2, 1/2], their squares and powers below 1, and a finite force times
// dt or times such a difference stays finite.
inline __m128 single4(__m256d v) { return _mm256_cvtpd_ps(v); }

// Round four doubles to single, and flag the lanes that overflow.
inline __m128 toSingle4(__m256d v, __m128& bad)
{
    const __m128 f = _mm256_cvtpd_ps(v);
    bad = _mm_or_ps(bad, notFinite(f));
    return f;
}

// d minus the nearest integer, halves rounded up: d - floor(d + 1/2).
inline __m256d minimumImage4(__m256d d)
{
    return _mm256_sub_pd(d, _mm256_floor_pd(_mm256_add_pd(d, _mm256_set1_pd(0.5))));
}

// Double-precision masks join the single-precision ones by conversion: a lane
// of all ones is a NaN with its sign bit set, and stays a negative NaN in
// single, and the sign bit is all that movemask reads.
inline __m128 narrowMask(__m256d mask) { return _mm256_cvtpd_ps(mask); }

// Lanes where a division by this divisor would fail.
inline __m128 zero4(__m256d divisor)
{
    return narrowMask(_mm256_cmp_pd(divisor, _mm256_setzero_pd(), _CMP_EQ_OQ));
}

// The lanes m < valid, as a mask: the padding of a last partial batch must
// not raise a false alarm.
inline __m128 firstLanes(int valid)
{
    const __m128i lane = _mm_setr_epi32(0, 1, 2, 3);
    return _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_set1_epi32(valid), lane));
}

// Copy the last `valid` (< 4) values of a stretch into four slots, so that
// every load stays inside the caller's arrays.
inline __m128 loadPartial(const float* p, int valid)
{
    alignas(16) float slots[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int m = 0; m < valid; ++m)
        slots[m] = p[m];
    return _mm_load_ps(slots);
}

inline __m128 load4(const float* p, int valid)
{
    return valid >= 4 ? _mm_loadu_ps(p) : loadPartial(p, valid);
}

}  // namespace

bool refreshRowAvx2(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                    std::int32_t* bin, std::int16_t* listI, std::int16_t* listJ, std::int32_t& listCount)
{
    const __m256d xi4 = _mm256_set1_pd(x[i]);
    const __m256d yi4 = _mm256_set1_pd(y[i]);
    const __m256d R4 = _mm256_set1_pd(rule.R);
    const __m256d fourteen = _mm256_set1_pd(14.0);
    const __m256d bins4 = _mm256_set1_pd(rule.nbins);
    const __m256d lowest = _mm256_set1_pd(rule.lowestBin);
    const __m256d highest = _mm256_set1_pd(rule.highestBin);
    const __m128 rc2 = _mm_set1_ps(rule.rc2);
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d half = _mm256_set1_pd(0.5);
    // The estimate's error bound, doubled: 2^-24 from the single root, and
    // a few double roundings in it and in the exact chain.
    const __m256d errorBound = _mm256_set1_pd(1.2e-7);
    const double perLength = static_cast<double>(rule.nbins) / 14.0 / rule.R;
    const __m256d binsPerLength = _mm256_set1_pd(perLength);
    // For a positive radius only, and a bin scale that is an ordinary number.
    const bool useEstimate = rule.R > 0.0f && perLength > 1e-300 && perLength < 1e300;
    const float* xj = x + firstJ;
    const float* yj = y + firstJ;
    const auto I = static_cast<std::int16_t>(i);
    std::int32_t stored = listCount;
    __m128 anyBad = _mm_setzero_ps();

    for (int m = 0; m < count; m += 4) {
        const int valid = count - m;
        __m128 bad = _mm_setzero_ps();

        // Radius2: the differences and their squares in double, dx, dy and
        // the sum each rounded to single.
        const __m256d dx = _mm256_cvtps_pd(single4(minimumImage4(_mm256_sub_pd(xi4, _mm256_cvtps_pd(load4(xj + m, valid))))));
        const __m256d dy = _mm256_cvtps_pd(single4(minimumImage4(_mm256_sub_pd(yi4, _mm256_cvtps_pd(load4(yj + m, valid))))));
        const __m128 r2 = single4(_mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy)));

        // binIndex: ((r / R) / 14) * nbins rounded half to even, with r the
        // double square root. The divider is the slowest unit of the
        // machine, so the bins come first from the single-precision root
        // times nbins / 14R, off from the exact chain by a relative 6e-8 at
        // most: wherever that estimate is not within twice its error of a
        // half-integer, it rounds to the same bin. Only lanes that close to a
        // rounding boundary (about one pair in ten thousand) take the exact
        // chain. A bin in the allowed range also fits 16 bits; NaN and
        // infinities are outside.
        const __m256d estimate = _mm256_mul_pd(_mm256_cvtps_pd(_mm_sqrt_ps(r2)), binsPerLength);
        __m256d rounded = _mm256_round_pd(estimate, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        const __m256d offHalf = _mm256_andnot_pd(
            signBit, _mm256_sub_pd(_mm256_andnot_pd(signBit, _mm256_sub_pd(estimate, rounded)), half));
        const __m256d margin = _mm256_mul_pd(_mm256_andnot_pd(signBit, estimate), errorBound);
        if (!useEstimate || _mm256_movemask_pd(_mm256_cmp_pd(offHalf, margin, _CMP_NGT_UQ)) != 0) {
            const __m256d r = _mm256_sqrt_pd(_mm256_cvtps_pd(r2));
            const __m256d v = _mm256_mul_pd(_mm256_div_pd(_mm256_div_pd(r, R4), fourteen), bins4);
            rounded = _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        }
        bad = _mm_or_ps(bad, narrowMask(_mm256_or_pd(_mm256_cmp_pd(rounded, lowest, _CMP_NGE_UQ),
                                                     _mm256_cmp_pd(rounded, highest, _CMP_NLE_UQ))));
        const __m128i k = _mm256_cvtpd_epi32(rounded);

        // The close pairs go to the list in sequence order.
        int close = _mm_movemask_ps(_mm_cmp_ps(r2, rc2, _CMP_LT_OQ));
        if (valid >= 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(bin + m), k);
        } else {
            alignas(16) std::int32_t ks[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(ks), k);
            for (int t = 0; t < valid; ++t)
                bin[m + t] = ks[t];
            bad = _mm_and_ps(bad, firstLanes(valid));
            close &= (1 << valid) - 1;
        }
        while (close != 0) {
            ++stored;
            listI[stored] = I;
            listJ[stored] = static_cast<std::int16_t>(firstJ + m + __builtin_ctz(static_cast<unsigned>(close)));
            close &= close - 1;
        }
        anyBad = _mm_or_ps(anyBad, bad);
    }
    listCount = stored;
    return _mm_movemask_ps(anyBad) == 0;
}

bool pairKicksAvx2(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty)
{
    const __m256d s6 = _mm256_set1_pd(sig6);
    const __m256d attractionTop = _mm256_mul_pd(s6, _mm256_set1_pd(6.0));
    const __m256d repulsionTop = _mm256_mul_pd(_mm256_mul_pd(s6, _mm256_set1_pd(12.0)), s6);
    const __m256d depth = _mm256_mul_pd(_mm256_set1_pd(e0), _mm256_set1_pd(4.0));
    const __m256d dt4 = _mm256_set1_pd(dt);
    __m128 anyBad = _mm_setzero_ps();

    for (int m = 0; m < count; m += 4) {
        const int valid = count - m;
        __m128 bad = _mm_setzero_ps();

        // The vector from i to j, and r^2, r^8 in single.
        const __m256d xI = _mm256_cvtps_pd(load4(pairs.xi + m, valid));
        const __m256d yI = _mm256_cvtps_pd(load4(pairs.yi + m, valid));
        const __m256d xJ = _mm256_cvtps_pd(load4(pairs.xj + m, valid));
        const __m256d yJ = _mm256_cvtps_pd(load4(pairs.yj + m, valid));
        const __m256d dx = _mm256_cvtps_pd(single4(minimumImage4(_mm256_sub_pd(xJ, xI))));
        const __m256d dy = _mm256_cvtps_pd(single4(minimumImage4(_mm256_sub_pd(yJ, yI))));
        const __m256d r2 = _mm256_cvtps_pd(single4(_mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy))));
        const __m256d r8 = _mm256_cvtps_pd(single4(_mm256_mul_pd(_mm256_mul_pd(_mm256_mul_pd(r2, r2), r2), r2)));

        // f = 6 sigma^6 / r^8 - 12 sigma^12 / r^14, times 4 e0.
        bad = _mm_or_ps(bad, zero4(r8));
        const __m256d attraction = _mm256_div_pd(attractionTop, r8);
        const __m256d r14 = _mm256_mul_pd(_mm256_mul_pd(_mm256_mul_pd(r2, r8), r2), r2);
        bad = _mm_or_ps(bad, zero4(r14));
        const __m256d repulsion = _mm256_div_pd(repulsionTop, r14);
        const __m128 f = toSingle4(_mm256_mul_pd(_mm256_sub_pd(attraction, repulsion), depth), bad);

        // dt*f rounded before it multiplies dx and dy.
        const __m256d dtf = _mm256_cvtps_pd(single4(_mm256_mul_pd(dt4, _mm256_cvtps_pd(f))));
        const __m128 kx = single4(_mm256_mul_pd(dtf, dx));
        const __m128 ky = single4(_mm256_mul_pd(dtf, dy));

        if (valid >= 4) {
            _mm_storeu_ps(tx + m, kx);
            _mm_storeu_ps(ty + m, ky);
        } else {
            alignas(16) float kxs[4];
            alignas(16) float kys[4];
            _mm_store_ps(kxs, kx);
            _mm_store_ps(kys, ky);
            for (int t = 0; t < valid; ++t)
                tx[m + t] = kxs[t], ty[m + t] = kys[t];
            bad = _mm_and_ps(bad, firstLanes(valid));
        }
        anyBad = _mm_or_ps(anyBad, bad);
    }
    return _mm_movemask_ps(anyBad) == 0;
}

bool allFiniteAvx2(const float* v, int count)
{
    __m128 anyBad = _mm_setzero_ps();
    for (int m = 0; m < count; m += 4) {
        const int valid = count - m;
        __m128 bad = notFinite(load4(v + m, valid));
        if (valid < 4)
            bad = _mm_and_ps(bad, firstLanes(valid));
        anyBad = _mm_or_ps(anyBad, bad);
    }
    return _mm_movemask_ps(anyBad) == 0;
}

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
