// Batched loops for the hot parts of a step, one table of entry points per
// instruction set, each file compiled for its set alone.
//
// Each pair loop does, lane by lane, exactly the operations of the one-pair
// code in the same order, and reports whether any pair would have failed a
// check; the caller then redoes the batch one pair at a time, which raises
// the error at the right pair.
#pragma once

#include <cstdint>

#include "simd_level.h"

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

// Where one row's results go.
struct RefreshOutput {
    std::int32_t* bin;    // bin of each pair of the row, from bin[0]
    std::int16_t* listI;  // the list slice, entries 1..listCap
    std::int16_t* listJ;
    std::int32_t& listCount;  // entries of the slice so far; advanced
};

// Positions of the stored pairs, side by side: pair m joins particle i at
// (xi[m], yi[m]) with particle j at (xj[m], yj[m]). Copied out one by one
// before the batch, which beats the processor's own gather instructions.
struct PairPositions {
    const float* xi;
    const float* yi;
    const float* xj;
    const float* yj;
};

// The conserving dynamics' pair law on the fixed-point state: squared
// cut-off in box lengths, sigma^6, the half kick's scale (see
// ExactVerlet::computeHalfKicks), and the size from which a kick is left to
// the one-pair code (at most 2^51).
struct ExactPairLaw {
    double rc2;
    double sig6;
    double kickScale;
    double largest;
};

struct Kernels {
    // One row of the pair sequence, particle i with j = firstJ ..
    // firstJ+count-1: each pair's bin as binIndex gives it from Radius2, and
    // the pairs with r2 < rc2 appended to the list slice. False (the outputs
    // unspecified) when a rounding to single would overflow or a bin falls
    // outside the rule's range. Null: no batched refresh at this level.
    bool (*refreshRow)(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                       const RefreshOutput& out);

    // For pairs m = 0..count-1, the kick dt*f*(dx, dy) as kickPair computes
    // it before it touches a velocity, into tx[m], ty[m]. False when any
    // pair's arithmetic would fail a check. Null: no batched kick.
    bool (*pairKicks)(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty);

    // For pairs m = 0..count-1 at separations (dX[m], dY[m]) in position
    // units (2^-32 box lengths), the half kick on the first disc as the
    // one-pair code computes it, rounded odd to whole velocity units, into
    // cx[m], cy[m]. False when any pair's kick would fail a check or is
    // law.largest or more in size (the one-pair code then redoes the
    // batch). Null: no batched kick.
    bool (*exactPairKicks)(const std::int32_t* dX, const std::int32_t* dY, int count, const ExactPairLaw& law,
                           std::int64_t* cx, std::int64_t* cy);

    // The conserving step's two half kicks between drifts, for one axis:
    // out[m] = (v[m] + h[m]) + h[m]. False (out unspecified) when either sum
    // overflows or reaches LargestVelocity in size. Null: no batched loop.
    bool (*kickTwice)(const std::int64_t* v, const std::int64_t* h, int count, std::int64_t* out);

    // The conserving drift: each of x[m], y[m] moves by driftOf(vx[m]),
    // driftOf(vy[m]) position units, wrapping. True when some disc is then
    // farther than sqrt(allowed2) from (builtX[m], builtY[m]); allowed2 is
    // below 2^62. Null: no batched loop.
    bool (*driftAndCheck)(std::uint32_t* x, std::uint32_t* y, const std::int64_t* vx, const std::int64_t* vy,
                          const std::uint32_t* builtX, const std::uint32_t* builtY, int count, std::int64_t allowed2);

    // Whether all of v[0..count-1] are finite.
    bool (*allFinite)(const float* v, int count);

    // speed2[k] = vx[k]*vx[k] + vy[k]*vy[k] in single, k = 0..count-1;
    // returns the largest (0 for none).
    float (*squaredSpeeds)(const float* vx, const float* vy, int count, float* speed2);

    // For k = 0..count-1: move = step[k] + dt * sqrt(speed2[k]), then
    // path[k] = (path[k] + move) - oldest[k], oldest[k] = move and
    // step[k] = 0, all in single; returns the longest path (0 for none).
    float (*extendPaths)(const float* speed2, int count, float dt, float* step, float* oldest, float* path);

    // Whether |g[k] - sum[k]| <= tolerance * sum[k], in double, for every
    // k = 0..count-1.
    bool (*binsAgree)(const float* g, const double* sum, int count, double tolerance);
};

// The entry points of a level; the scalar table has no pair loops.
const Kernels& kernelsFor(SimdLevel level);
// Those of the level in use.
inline const Kernels& kernels() { return kernelsFor(simdLevel()); }

}  // namespace ljgas::kernels
