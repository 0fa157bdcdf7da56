// The lane layer of the batched pair loops on AVX-512 (F, VL, BW, DQ): eight
// pairs per instruction, lane masks in mask registers. For its own file only.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace ljgas::kernels {

// + - * / on Doubles and Singles are the compiler's own lane-by-lane
// operations, each rounded once: nothing is contracted or reordered.
struct Avx512Lanes {
    static constexpr int width = 8;
    using Doubles = __m512d;
    using Singles = __m256;
    using Ints = __m256i;   // 32-bit integers
    using Longs = __m512i;  // 64-bit integers
    using Mask = __mmask8;  // bit m for lane m
    using Active = __mmask8;

    static Doubles doubles(double v) { return _mm512_set1_pd(v); }
    static Singles singles(float v) { return _mm256_set1_ps(v); }

    // The lanes m < valid. Loads and stores leave the others alone, so the
    // padding of a last partial batch never touches memory.
    static Active active(int valid) { return valid >= width ? Mask(0xff) : Mask((1u << valid) - 1u); }
    static Mask lanes(Active valid) { return valid; }

    static Singles load(const float* p, Active valid) { return _mm256_maskz_loadu_ps(valid, p); }
    static void store(float* p, Active valid, Singles v) { _mm256_mask_storeu_ps(p, valid, v); }
    static Doubles load(const double* p, Active valid) { return _mm512_maskz_loadu_pd(valid, p); }
    static void store(std::int32_t* p, Active valid, Ints v) { _mm256_mask_storeu_epi32(p, valid, v); }

    static Doubles load(const std::int32_t* p, Active valid)
    {
        return _mm512_cvtepi32_pd(_mm256_maskz_loadu_epi32(valid, p));
    }
    // Whole numbers below 2^51 in size, as 64-bit integers.
    static void store(std::int64_t* p, Active valid, Doubles whole)
    {
        _mm512_mask_storeu_epi64(p, valid, _mm512_cvttpd_epi64(whole));
    }

    // The fixed-point state: 64-bit and 32-bit integers, wrapping.
    static Longs longs(std::int64_t v) { return _mm512_set1_epi64(v); }
    static Longs load(const std::int64_t* p, Active valid) { return _mm512_maskz_loadu_epi64(valid, p); }
    static void store(std::int64_t* p, Active valid, Longs v) { _mm512_mask_storeu_epi64(p, valid, v); }
    static Ints load(const std::uint32_t* p, Active valid) { return _mm256_maskz_loadu_epi32(valid, p); }
    static void store(std::uint32_t* p, Active valid, Ints v) { _mm256_mask_storeu_epi32(p, valid, v); }
    static Longs add(Longs a, Longs b) { return _mm512_add_epi64(a, b); }
    static Longs subtract(Longs a, Longs b) { return _mm512_sub_epi64(a, b); }
    static Longs exclusiveOr(Longs a, Longs b) { return _mm512_xor_si512(a, b); }
    static Longs both(Longs a, Longs b) { return _mm512_and_si512(a, b); }
    static Ints add(Ints a, Ints b) { return _mm256_add_epi32(a, b); }
    static Ints subtract(Ints a, Ints b) { return _mm256_sub_epi32(a, b); }
    static Longs signOf(Longs v) { return _mm512_srai_epi64(v, 63); }  // 0 or -1
    static Longs shiftRight32(Longs v) { return _mm512_srli_epi64(v, 32); }
    static Ints lowHalves(Longs v) { return _mm512_cvtepi64_epi32(v); }
    static Longs widen(Ints v) { return _mm512_cvtepi32_epi64(v); }
    // The products of the lanes' low 32 bits, signed, in 64 bits.
    static Longs multiplyLow(Longs a, Longs b) { return _mm512_mul_epi32(a, b); }
    static Mask negative(Longs v) { return _mm512_movepi64_mask(v); }
    static Mask greater(Longs a, Longs b) { return _mm512_cmpgt_epi64_mask(a, b); }

    static Doubles widen(Singles v) { return _mm512_cvtps_pd(v); }
    static Singles narrow(Doubles v) { return _mm512_cvtpd_ps(v); }
    // Whole numbers to integers; out-of-range lanes give INT_MIN.
    static Ints integers(Doubles v) { return _mm512_cvtpd_epi32(v); }

    static Doubles truncate(Doubles v) { return _mm512_roundscale_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
    static Doubles floor(Doubles v) { return _mm512_roundscale_pd(v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
    static Doubles nearest(Doubles v) { return _mm512_roundscale_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC); }
    static Doubles sqrt(Doubles v) { return _mm512_sqrt_pd(v); }
    static Singles sqrt(Singles v) { return _mm256_sqrt_ps(v); }
    static Doubles abs(Doubles v) { return _mm512_abs_pd(v); }
    static Singles abs(Singles v) { return _mm256_andnot_ps(_mm256_set1_ps(-0.0f), v); }

    // Maxima of lanes that are not NaN.
    static Singles max(Singles a, Singles b) { return _mm256_max_ps(a, b); }
    static float largest(Singles v)
    {
        const __m128 half = _mm_max_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
        const __m128 quarter = _mm_max_ps(half, _mm_movehl_ps(half, half));
        return _mm_cvtss_f32(_mm_max_ss(quarter, _mm_shuffle_ps(quarter, quarter, 1)));
    }

    static Mask isZero(Doubles v) { return _mm512_cmp_pd_mask(v, _mm512_setzero_pd(), _CMP_EQ_OQ); }
    static Mask notAbove(Doubles a, Doubles b) { return _mm512_cmp_pd_mask(a, b, _CMP_NGT_UQ); }
    // Lanes outside low..high, NaN included.
    static Mask outside(Doubles v, Doubles low, Doubles high)
    {
        return _mm512_cmp_pd_mask(v, low, _CMP_NGE_UQ) | _mm512_cmp_pd_mask(v, high, _CMP_NLE_UQ);
    }
    static Doubles whereBelow(Doubles a, Doubles b, Doubles v)
    {
        return _mm512_maskz_mov_pd(_mm512_cmp_pd_mask(a, b, _CMP_LT_OQ), v);
    }
    static Mask below(Singles a, Singles b) { return _mm256_cmp_ps_mask(a, b, _CMP_LT_OQ); }
    static Mask notFinite(Singles v)
    {
        return _mm256_cmp_ps_mask(abs(v), _mm256_set1_ps(__builtin_inff()), _CMP_NLT_UQ);
    }

    // first + m for each lane m in `lanes`, packed to the front of
    // to[0..7]; the rest of the eight is unspecified.
    static void storeLaneNumbers(std::int16_t* to, int first, Mask lanes)
    {
        const __m256i numbers = _mm256_add_epi32(_mm256_set1_epi32(first), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        const __m256i packed = _mm256_maskz_compress_epi32(lanes, numbers);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm256_cvtepi32_epi16(packed));
    }
    static void storeCopies(std::int16_t* to, std::int16_t v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_set1_epi16(v));
    }
};

}  // namespace ljgas::kernels
