// Batched pair arithmetic for the two hot loops: the distances and histogram
// bins of a stretch of the pair sequence, and the velocity kicks of the
// stored pairs. Each function does, lane by lane, exactly the double and
// single operations of the one-pair code, in the same order, and reports
// whether any pair would have failed a check; the caller then redoes the
// whole batch one pair at a time, which raises the error at the right pair.
//
// Plain functions on plain arrays, with no inline code shared with the rest
// of the engine: each instruction set's file is compiled for it alone, and
// only called when the processor has it. The loops themselves are written
// once, in pair_kernels_body.h.
#pragma once

#include <cstdint>

namespace ljgas::kernels {

// What a refresh needs besides the positions: the bin rule and the cut-off.
struct RefreshRule {
    float R;             // particle radius, not zero
    std::int16_t nbins;  // bins across 14R
    double lowestBin;    // bins outside lowestBin..highestBin fail: the 16-bit
    double highestBin;   // range, or 1..20000 where pairs are weighted
    float rc2;           // squared cut-off
    int listCap;         // entries 1..listCap of the list slice exist
};

// One row of the pair sequence: particle i with j = firstJ .. firstJ+count-1.
// For each pair, r2 as Radius2 gives it and its bin as binIndex gives it
// (into bin[0..count-1]); the pairs with r2 < rc2 are appended to the list
// slice (listI, listJ) after entry listCount, which is advanced. False when
// a rounding to single would overflow or a bin falls outside the rule's
// range; bins and list are then unspecified.
bool refreshRowAvx2(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                    std::int32_t* bin, std::int16_t* listI, std::int16_t* listJ, std::int32_t& listCount);

// The same on AVX-512, eight pairs at a time.
bool refreshRowAvx512(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                      std::int32_t* bin, std::int16_t* listI, std::int16_t* listJ, std::int32_t& listCount);

// Positions of the stored pairs, side by side: pair m joins particle i at
// (xi[m], yi[m]) with particle j at (xj[m], yj[m]). Copied out one by one
// before the batch, which beats the processor's own gather instructions.
struct PairPositions {
    const float* xi;
    const float* yi;
    const float* xj;
    const float* yj;
};

// For pairs m = 0..count-1, the kick dt*f*(dx, dy) as kickPair computes it
// before it touches a velocity, into tx[m], ty[m]. False when any pair's
// arithmetic would fail a check.
bool pairKicksAvx2(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty);

// The same on AVX-512, eight pairs at a time.
bool pairKicksAvx512(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty);

// Whether all of v[0..count-1] are finite.
bool allFiniteAvx2(const float* v, int count);

}  // namespace ljgas::kernels
