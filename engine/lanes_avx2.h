// The lane layer of the batched pair loops on AVX2: four pairs per
// instruction, lane masks as plain bits. For the file compiled with -mavx2.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

namespace ljgas::kernels {

// The lane numbers set in each four-bit mask, packed to the front: four
// 16-bit fields in one word.
struct PackedLanes {
    std::uint64_t ofMask[16];
};
constexpr PackedLanes packLanes()
{
    PackedLanes table{};
    for (unsigned mask = 0; mask < 16; ++mask) {
        int field = 0;
        for (unsigned lane = 0; lane < 4; ++lane)
            if ((mask >> lane & 1u) != 0)
                table.ofMask[mask] |= std::uint64_t{lane} << (16 * field++);
    }
    return table;
}
inline constexpr PackedLanes packedLanes = packLanes();

// + - * / on Doubles and Singles are the compiler's own lane-by-lane
// operations, each rounded once: nothing is contracted or reordered.
struct Avx2Lanes {
    static constexpr int width = 4;
    using Doubles = __m256d;
    using Singles = __m128;
    using Ints = __m128i;   // 32-bit integers
    using Longs = __m256i;  // 64-bit integers
    using Mask = unsigned;  // bit m for lane m
    using Active = int;     // the lanes of a batch that hold pairs, as a count

    static Doubles doubles(double v) { return _mm256_set1_pd(v); }
    static Singles singles(float v) { return _mm_set1_ps(v); }

    // The lanes m < valid: the padding of a last partial batch must not
    // raise a false alarm or reach the list.
    static Active active(int valid) { return valid; }
    static Mask lanes(Active valid) { return valid >= width ? 0xfu : (1u << valid) - 1u; }

    static Singles load(const float* p, Active valid)
    {
        return padded<Singles>(p, valid, [](const float* q) { return _mm_loadu_ps(q); });
    }
    static void store(float* p, Active valid, Singles v)
    {
        padded(p, valid, [v](float* q) { _mm_storeu_ps(q, v); });
    }
    static Doubles load(const double* p, Active valid)
    {
        return padded<Doubles>(p, valid, [](const double* q) { return _mm256_loadu_pd(q); });
    }
    static void store(std::int32_t* p, Active valid, Ints v)
    {
        padded(p, valid, [v](std::int32_t* q) { _mm_storeu_si128(reinterpret_cast<__m128i*>(q), v); });
    }

    // 32-bit integers, exactly, as doubles.
    static Doubles load(const std::int32_t* p, Active valid)
    {
        return _mm256_cvtepi32_pd(padded<Ints>(
            p, valid, [](const std::int32_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); }));
    }
    // Whole numbers below 2^51 in size, as 64-bit integers. AVX2 has no
    // such conversion: v + 1.5 * 2^52 is exact for them and holds v in the
    // low bits of its representation.
    static void store(std::int64_t* p, Active valid, Doubles whole)
    {
        const __m256d shift = _mm256_set1_pd(6755399441055744.0);  // 1.5 * 2^52
        store(p, valid, _mm256_sub_epi64(_mm256_castpd_si256(_mm256_add_pd(whole, shift)), _mm256_castpd_si256(shift)));
    }

    // The fixed-point state: 64-bit and 32-bit integers, wrapping.
    static Longs longs(std::int64_t v) { return _mm256_set1_epi64x(v); }
    static Longs load(const std::int64_t* p, Active valid)
    {
        return padded<Longs>(
            p, valid, [](const std::int64_t* q) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q)); });
    }
    static void store(std::int64_t* p, Active valid, Longs v)
    {
        padded(p, valid, [v](std::int64_t* q) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(q), v); });
    }
    static Ints load(const std::uint32_t* p, Active valid)
    {
        return padded<Ints>(
            p, valid, [](const std::uint32_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); });
    }
    static void store(std::uint32_t* p, Active valid, Ints v)
    {
        padded(p, valid, [v](std::uint32_t* q) { _mm_storeu_si128(reinterpret_cast<__m128i*>(q), v); });
    }
    static Longs add(Longs a, Longs b) { return _mm256_add_epi64(a, b); }
    static Longs subtract(Longs a, Longs b) { return _mm256_sub_epi64(a, b); }
    static Longs exclusiveOr(Longs a, Longs b) { return _mm256_xor_si256(a, b); }
    static Longs both(Longs a, Longs b) { return _mm256_and_si256(a, b); }
    static Ints add(Ints a, Ints b) { return _mm_add_epi32(a, b); }
    static Ints subtract(Ints a, Ints b) { return _mm_sub_epi32(a, b); }
    // AVX2 has no 64-bit arithmetic shift: the sign as a comparison.
    static Longs signOf(Longs v) { return _mm256_cmpgt_epi64(_mm256_setzero_si256(), v); }  // 0 or -1
    static Longs shiftRight32(Longs v) { return _mm256_srli_epi64(v, 32); }
    static Ints lowHalves(Longs v)
    {
        return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
    }
    static Longs widen(Ints v) { return _mm256_cvtepi32_epi64(v); }
    // The products of the lanes' low 32 bits, signed, in 64 bits.
    static Longs multiplyLow(Longs a, Longs b) { return _mm256_mul_epi32(a, b); }
    static Mask negative(Longs v) { return bits(_mm256_castsi256_pd(v)); }
    static Mask greater(Longs a, Longs b) { return bits(_mm256_castsi256_pd(_mm256_cmpgt_epi64(a, b))); }

    static Doubles widen(Singles v) { return _mm256_cvtps_pd(v); }
    static Singles narrow(Doubles v) { return _mm256_cvtpd_ps(v); }
    // Whole numbers to integers; out-of-range lanes give INT_MIN.
    static Ints integers(Doubles v) { return _mm256_cvtpd_epi32(v); }

    static Doubles floor(Doubles v) { return _mm256_floor_pd(v); }
    static Doubles truncate(Doubles v) { return _mm256_round_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
    static Doubles nearest(Doubles v) { return _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC); }
    static Doubles sqrt(Doubles v) { return _mm256_sqrt_pd(v); }
    static Singles sqrt(Singles v) { return _mm_sqrt_ps(v); }
    static Doubles abs(Doubles v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }
    static Singles abs(Singles v) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), v); }

    // Maxima of lanes that are not NaN.
    static Singles max(Singles a, Singles b) { return _mm_max_ps(a, b); }
    static float largest(Singles v)
    {
        alignas(16) float lane[width];
        _mm_store_ps(lane, v);
        // No std::max: nothing but this layer's own functions may be
        // instantiated in the file compiled for AVX2.
        const float low = lane[0] > lane[1] ? lane[0] : lane[1];
        const float high = lane[2] > lane[3] ? lane[2] : lane[3];
        return low > high ? low : high;
    }

    static Mask isZero(Doubles v) { return bits(_mm256_cmp_pd(v, _mm256_setzero_pd(), _CMP_EQ_OQ)); }
    static Mask notAbove(Doubles a, Doubles b) { return bits(_mm256_cmp_pd(a, b, _CMP_NGT_UQ)); }
    // Lanes outside low..high, NaN included.
    static Mask outside(Doubles v, Doubles low, Doubles high)
    {
        return bits(_mm256_or_pd(_mm256_cmp_pd(v, low, _CMP_NGE_UQ), _mm256_cmp_pd(v, high, _CMP_NLE_UQ)));
    }
    static Mask below(Singles a, Singles b) { return bits(_mm_cmp_ps(a, b, _CMP_LT_OQ)); }
    // v where a < b, +0 elsewhere (NaN compares false).
    static Doubles whereBelow(Doubles a, Doubles b, Doubles v)
    {
        return _mm256_and_pd(_mm256_cmp_pd(a, b, _CMP_LT_OQ), v);
    }
    static Mask notFinite(Singles v) { return bits(_mm_cmp_ps(abs(v), _mm_set1_ps(__builtin_inff()), _CMP_NLT_UQ)); }

    // first + m for each lane m in `lanes`, packed to the front of
    // to[0..3]; the rest of the four is unspecified. AVX2 has no compress
    // instruction: the table gives the packed lane numbers, and one
    // multiplication adds `first` to all four fields (first + 3 < 2^15, so
    // no field carries into the next).
    static void storeLaneNumbers(std::int16_t* to, int first, Mask lanes)
    {
        const std::uint64_t firsts = static_cast<std::uint64_t>(first) * 0x0001'0001'0001'0001u;
        const std::uint64_t packed = packedLanes.ofMask[lanes] + firsts;
        std::memcpy(to, &packed, sizeof packed);
    }
    static void storeCopies(std::int16_t* to, std::int16_t v)
    {
        const std::uint64_t copies = static_cast<std::uint16_t>(v) * 0x0001'0001'0001'0001u;
        std::memcpy(to, &copies, sizeof copies);
    }

private:
    // A short last batch is copied into four slots, so that every load stays
    // inside the caller's arrays, and out of them again.
    template <class V, class T, class Load>
    static V padded(const T* p, Active valid, Load load)
    {
        if (valid >= width)
            return load(p);
        T slots[width] = {};
        for (int m = 0; m < valid; ++m)
            slots[m] = p[m];
        return load(slots);
    }
    template <class T, class Store>
    static void padded(T* p, Active valid, Store store)
    {
        if (valid >= width)
            return store(p);
        T slots[width];
        store(slots);
        for (int m = 0; m < valid; ++m)
            p[m] = slots[m];
    }

    static Mask bits(__m256d mask) { return static_cast<Mask>(_mm256_movemask_pd(mask)); }
    static Mask bits(__m128 mask) { return static_cast<Mask>(_mm_movemask_ps(mask)); }
};

}  // namespace ljgas::kernels
