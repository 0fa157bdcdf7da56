// The batched pair loops written once, over a lane layer L (Avx2Lanes,
// Avx512Lanes): L::width pairs per instruction, in double where the one-pair
// code works in double, rounded to single where it rounds. With the default
// rounding mode and nothing contracted or reordered, every lane computes
// exactly what the one-pair code computes.
//
// Included only by each instruction set's file, compiled with its own flags,
// so everything here is a template over L: a plain inline function would be
// compiled once per file, the linker would keep any one copy, and an AVX2
// processor could land in AVX-512 code.
#pragma once

#include <cstdint>

#include "pair_kernels.h"

namespace ljgas::kernels {

// d minus the nearest integer, halves rounded up: d - floor(d + 1/2).
template <class L>
typename L::Doubles minimumImage(typename L::Doubles d)
{
    return d - L::floor(d + L::doubles(0.5));
}

// Round to single and back. No overflow is possible where this is used:
// positions are finite, so minimum-image differences lie in [-1/2, 1/2],
// their squares and powers below 1, and a finite force times dt or times
// such a difference stays finite.
template <class L>
typename L::Doubles viaSingle(typename L::Doubles v)
{
    return L::widen(L::narrow(v));
}

// Kernels::refreshRow.
template <class L>
bool refreshRow(const float* x, const float* y, int i, int firstJ, int count, const RefreshRule& rule,
                const RefreshOutput& out)
{
    using Doubles = typename L::Doubles;
    using Singles = typename L::Singles;
    const Doubles xi = L::doubles(x[i]);
    const Doubles yi = L::doubles(y[i]);
    const Doubles R = L::doubles(rule.R);
    const Doubles fourteen = L::doubles(14.0);
    const Doubles bins = L::doubles(rule.nbins);
    const Doubles lowest = L::doubles(rule.lowestBin);
    const Doubles highest = L::doubles(rule.highestBin);
    const Singles rc2 = L::singles(rule.rc2);
    const Doubles half = L::doubles(0.5);
    // The estimate's error bound, doubled: 2^-24 from the single root and a
    // few double roundings.
    const Doubles errorBound = L::doubles(1.2e-7);
    const double perLength = static_cast<double>(rule.nbins) / 14.0 / rule.R;
    const Doubles binsPerLength = L::doubles(perLength);
    // For a positive radius only, and a bin scale that is an ordinary number.
    const bool useEstimate = rule.R > 0.0f && perLength > 1e-300 && perLength < 1e300;
    const float* xj = x + firstJ;
    const float* yj = y + firstJ;
    const auto I = static_cast<std::int16_t>(i);
    std::int32_t* bin = out.bin;
    std::int16_t* listI = out.listI;
    std::int16_t* listJ = out.listJ;
    std::int32_t stored = out.listCount;
    typename L::Mask anyBad = 0;

    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);

        // Radius2: the differences and their squares in double, dx, dy and
        // the sum each rounded to single.
        const Doubles dx = viaSingle<L>(minimumImage<L>(xi - L::widen(L::load(xj + m, active))));
        const Doubles dy = viaSingle<L>(minimumImage<L>(yi - L::widen(L::load(yj + m, active))));
        const Singles r2 = L::narrow(dx * dx + dy * dy);

        // binIndex: ((r / R) / 14) * nbins rounded half to even, with r the
        // double square root. The divider is the slowest unit of the
        // machine, so the bins come first from the single-precision root
        // times nbins / 14R, off from the exact chain by a relative 6e-8 at
        // most: wherever that estimate is not within twice its error of a
        // half-integer, it rounds to the same bin. Only batches with a lane
        // that close to a rounding boundary (about one pair in ten thousand)
        // take the exact chain.
        const Doubles estimate = L::widen(L::sqrt(r2)) * binsPerLength;
        Doubles rounded = L::nearest(estimate);
        const Doubles offHalf = L::abs(L::abs(estimate - rounded) - half);
        const Doubles margin = L::abs(estimate) * errorBound;
        if (!useEstimate || L::notAbove(offHalf, margin) != 0) {
            const Doubles r = L::sqrt(L::widen(r2));
            rounded = L::nearest(((r / R) / fourteen) * bins);
        }
        // A bin in the allowed range also fits 16 bits; NaN and infinities
        // are outside.
        anyBad |= L::lanes(active) & L::outside(rounded, lowest, highest);
        L::store(bin + m, active, L::integers(rounded));

        // The close pairs go to the list in sequence order: a whole packed
        // batch at a time (what lies past the count is unused) while a batch
        // fits the slice, one by one after that.
        auto close = static_cast<unsigned>(L::lanes(active) & L::below(r2, rc2));
        if (stored + L::width <= rule.listCap) {
            L::storeLaneNumbers(listJ + stored + 1, firstJ + m, close);
            L::storeCopies(listI + stored + 1, I);
            stored += __builtin_popcount(close);
            continue;
        }
        for (; close != 0; close &= close - 1) {
            ++stored;
            listI[stored] = I;
            listJ[stored] = static_cast<std::int16_t>(firstJ + m + __builtin_ctz(close));
        }
    }
    out.listCount = stored;
    return anyBad == 0;
}

// Kernels::pairKicks.
template <class L>
bool pairKicks(const PairPositions& pairs, int count, float sig6, float e0, float dt, float* tx, float* ty)
{
    using Doubles = typename L::Doubles;
    using Singles = typename L::Singles;
    const Doubles s6 = L::doubles(sig6);
    const Doubles attractionTop = s6 * L::doubles(6.0);
    const Doubles repulsionTop = s6 * L::doubles(12.0) * s6;
    const Doubles depth = L::doubles(e0) * L::doubles(4.0);
    const Doubles step = L::doubles(dt);
    typename L::Mask anyBad = 0;

    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        const Doubles xI = L::widen(L::load(pairs.xi + m, active));
        const Doubles yI = L::widen(L::load(pairs.yi + m, active));
        const Doubles xJ = L::widen(L::load(pairs.xj + m, active));
        const Doubles yJ = L::widen(L::load(pairs.yj + m, active));

        // The vector from i to j, and r^2, r^8 in single.
        const Doubles dx = viaSingle<L>(minimumImage<L>(xJ - xI));
        const Doubles dy = viaSingle<L>(minimumImage<L>(yJ - yI));
        const Doubles r2 = viaSingle<L>(dx * dx + dy * dy);
        const Doubles r8 = viaSingle<L>(r2 * r2 * r2 * r2);

        // f = 6 sigma^6 / r^8 - 12 sigma^12 / r^14, times 4 e0, rounded once.
        const Doubles attraction = attractionTop / r8;
        const Doubles r14 = r2 * r8 * r2 * r2;
        const Doubles repulsion = repulsionTop / r14;
        const Singles f = L::narrow((attraction - repulsion) * depth);
        anyBad |= L::lanes(active) & (L::isZero(r8) | L::isZero(r14) | L::notFinite(f));

        // dt*f rounded before it multiplies dx and dy.
        const Doubles dtf = viaSingle<L>(step * L::widen(f));
        L::store(tx + m, active, L::narrow(dtf * dx));
        L::store(ty + m, active, L::narrow(dtf * dy));
    }
    return anyBad == 0;
}

// Kernels::exactPairKicks: ExactVerlet's PairKick lane by lane. roundOdd's
// a + (rest >= 1/2) - (rest <= -1/2) is here t + trunc(2 (a - t)) with
// t = trunc(a): the rest and its double are exact, and the sum is exact
// wherever the rest is not 0 (|t| < 2^52 there).
template <class L>
bool exactPairKicks(const std::int32_t* dX, const std::int32_t* dY, int count, const ExactPairLaw& law,
                    std::int64_t* cx, std::int64_t* cy)
{
    using Doubles = typename L::Doubles;
    const Doubles unit = L::doubles(1.0 / 4294967296.0);  // box lengths per position unit
    const Doubles one = L::doubles(1.0);
    const Doubles two = L::doubles(2.0);
    const Doubles rc2 = L::doubles(law.rc2);
    const Doubles sig6 = L::doubles(law.sig6);
    const Doubles scale = L::doubles(law.kickScale);
    const Doubles limit = L::doubles(law.largest);
    typename L::Mask anyBad = 0;

    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        const Doubles X = L::load(dX + m, active);
        const Doubles Y = L::load(dY + m, active);
        const Doubles dx = X * unit;
        const Doubles dy = Y * unit;
        const Doubles r2 = dx * dx + dy * dy;
        const Doubles inverseR2 = one / r2;
        const Doubles s6 = sig6 * ((inverseR2 * inverseR2) * inverseR2);
        const Doubles q = L::whereBelow(r2, rc2, ((scale * s6) * (one - two * s6)) * inverseR2);
        const Doubles ax = q * X;
        const Doubles ay = q * Y;
        const Doubles tx = L::truncate(ax);
        const Doubles ty = L::truncate(ay);
        const Doubles rx = tx + L::truncate(two * (ax - tx));
        const Doubles ry = ty + L::truncate(two * (ay - ty));
        // Large, infinite or NaN: the one-pair code decides.
        anyBad |= L::lanes(active) & (L::notAbove(limit, L::abs(rx)) | L::notAbove(limit, L::abs(ry)));
        L::store(cx + m, active, rx);
        L::store(cy + m, active, ry);
    }
    return anyBad == 0;
}

// Kernels::kickTwice. A signed sum overflowed where its sign differs from
// both of its terms'.
template <class L>
bool kickTwice(const std::int64_t* v, const std::int64_t* h, int count, std::int64_t* out)
{
    using Longs = typename L::Longs;
    const Longs justBelow = L::longs((std::int64_t{1} << 62) - 1);   // LargestVelocity - 1
    const Longs justAbove = L::longs(-(std::int64_t{1} << 62) + 1);  // -LargestVelocity + 1
    typename L::Mask anyBad = 0;
    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        const Longs V = L::load(v + m, active);
        const Longs H = L::load(h + m, active);
        const Longs A = L::add(V, H);
        const Longs B = L::add(A, H);
        const Longs overflows = L::both(L::exclusiveOr(V, A), L::exclusiveOr(H, A));
        const Longs overflowsAgain = L::both(L::exclusiveOr(A, B), L::exclusiveOr(H, B));
        anyBad |= L::lanes(active) & (L::negative(overflows) | L::negative(overflowsAgain) | L::greater(A, justBelow) |
                                      L::greater(justAbove, A) | L::greater(B, justBelow) | L::greater(justAbove, B));
        L::store(out + m, active, B);
    }
    return anyBad == 0;
}

// driftOf lane by lane: |V| + 2^31 shifted down 32 bits, the sign put back.
template <class L>
typename L::Ints driftsOf(typename L::Longs V)
{
    const typename L::Longs sign = L::signOf(V);
    const typename L::Longs size = L::add(L::subtract(L::exclusiveOr(V, sign), sign), L::longs(std::int64_t{1} << 31));
    return L::lowHalves(L::subtract(L::exclusiveOr(L::shiftRight32(size), sign), sign));
}

// Kernels::driftAndCheck.
template <class L>
bool driftAndCheck(std::uint32_t* x, std::uint32_t* y, const std::int64_t* vx, const std::int64_t* vy,
                   const std::uint32_t* builtX, const std::uint32_t* builtY, int count, std::int64_t allowed2)
{
    using Longs = typename L::Longs;
    using Ints = typename L::Ints;
    const Longs allowed = L::longs(allowed2);
    typename L::Mask moved = 0;
    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        const Ints X = L::add(L::load(x + m, active), driftsOf<L>(L::load(vx + m, active)));
        const Ints Y = L::add(L::load(y + m, active), driftsOf<L>(L::load(vy + m, active)));
        L::store(x + m, active, X);
        L::store(y + m, active, Y);
        const Longs dX = L::widen(L::subtract(X, L::load(builtX + m, active)));
        const Longs dY = L::widen(L::subtract(Y, L::load(builtY + m, active)));
        // Each square is at most 2^62; where their sum wraps, both are 2^62,
        // more than allowed2.
        const Longs dX2 = L::multiplyLow(dX, dX);
        moved |= L::lanes(active) &
                 (L::greater(L::add(dX2, L::multiplyLow(dY, dY)), allowed) | L::greater(dX2, allowed));
    }
    return moved != 0;
}

// Kernels::allFinite.
template <class L>
bool allFinite(const float* v, int count)
{
    typename L::Mask anyBad = 0;
    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        anyBad |= L::lanes(active) & L::notFinite(L::load(v + m, active));
    }
    return anyBad == 0;
}

// Kernels::squaredSpeeds. Lanes past the end load as 0, which no maximum
// of squares can fall below.
template <class L>
float squaredSpeeds(const float* vx, const float* vy, int count, float* speed2)
{
    typename L::Singles fastest = L::singles(0.0f);
    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        const typename L::Singles u = L::load(vx + m, active);
        const typename L::Singles w = L::load(vy + m, active);
        const typename L::Singles v2 = u * u + w * w;
        L::store(speed2 + m, active, v2);
        fastest = L::max(fastest, v2);
    }
    return L::largest(fastest);
}

// Kernels::extendPaths.
template <class L>
float extendPaths(const float* speed2, int count, float dt, float* step, float* oldest, float* path)
{
    const typename L::Singles span = L::singles(dt);
    const typename L::Singles none = L::singles(0.0f);
    typename L::Singles longest = none;
    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        const typename L::Singles move = L::load(step + m, active) + span * L::sqrt(L::load(speed2 + m, active));
        const typename L::Singles sum = (L::load(path + m, active) + move) - L::load(oldest + m, active);
        L::store(path + m, active, sum);
        L::store(oldest + m, active, move);
        L::store(step + m, active, none);
        longest = L::max(longest, sum);
    }
    return L::largest(longest);
}

// Kernels::binsAgree.
template <class L>
bool binsAgree(const float* g, const double* sum, int count, double tolerance)
{
    const typename L::Doubles share = L::doubles(tolerance);
    for (int m = 0; m < count; m += L::width) {
        const auto active = L::active(count - m);
        const typename L::Doubles s = L::load(sum + m, active);
        const typename L::Doubles off = L::abs(L::widen(L::load(g + m, active)) - s);
        const typename L::Mask all = L::lanes(active);
        if ((L::notAbove(off, s * share) & all) != all)
            return false;
    }
    return true;
}

}  // namespace ljgas::kernels
