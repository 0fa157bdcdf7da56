// The fixed-point state of the conserving dynamics: positions as 32-bit
// fractions of the periodic box, velocities as 64-bit integers, and the
// odd rounding through which every kick and drift reaches them.
#pragma once

#include <cstdint>

#include "checked.h"
#include "pair_distance.h"

namespace ljgas {

// Why integers: a step made of integer additions can be undone exactly. The
// velocity Verlet step is half kick, drift, half kick; with the velocity
// negated it retraces itself, but in floating point every addition rounds
// and the way back rounds differently, so a trajectory run back ends a few
// units in the last place off and, the gas being chaotic, soon anywhere.
// With integer positions and velocities, and kicks that are integers computed
// from the positions alone, each half of the step is an exact shear of the
// integer phase space and the reversed step undoes it bit for bit (Levesque
// and Verlet, J. Stat. Phys. 72, 519 (1993)).

// A coordinate counts units of 2^-32 box lengths in an unsigned 32-bit
// integer: the box edge is 2^32 units, the periodic wrap is the integer's own
// overflow, and the difference of two coordinates taken as a signed 32-bit
// integer is their minimum-image separation. One unit is 2.3e-10 box
// lengths, 1.2e-8 sigma at R = 0.01.
inline constexpr double PositionUnitsPerBox = 4294967296.0;  // 2^32
inline constexpr double BoxesPerPositionUnit = 1.0 / PositionUnitsPerBox;

// A velocity counts units of 2^-64 box lengths per inner step in a signed
// 64-bit integer; 2^32 velocity units move a disc one position unit. So fine
// a velocity loses nothing to its grid: at the default gas a speed of 0.5 is
// some 2e15 units, as many digits as a double holds.
inline constexpr double VelocityUnitsPerPositionUnit = 4294967296.0;  // 2^32

// The fastest velocity the integers hold: below 2^62 units, a quarter of the
// box per inner step (1000 box lengths per unit time at dt/4). A kick that
// reaches it is an overflow.
inline constexpr std::int64_t LargestVelocity = std::int64_t{1} << 62;

// The coordinate of a box position x (anywhere: it is first taken into
// [0, 1)), to the nearest unit (half to even: only floats below 2^-9 have
// finer steps than a unit), 1 wrapping to 0. Not finite: an overflow.
inline std::uint32_t positionToFixed(float x)
{
    const double v = x;
    if (!std::isfinite(v)) [[unlikely]]
        fail(ErrorKind::Overflow);
    // x - floor(x) and its product with 2^32 are exact for every float.
    const double units = roundHalfEven((v - Int(v)) * PositionUnitsPerBox);
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(units));
}

// The position of a coordinate, rounded to single: in [0, 1], since the
// units just below the top round to 1.
inline float fixedToPosition(std::uint32_t X)
{
    return static_cast<float>(static_cast<double>(X) * BoxesPerPositionUnit);
}

// The minimum-image separation from coordinate a to coordinate b, in units:
// b - a modulo 2^32, read as signed.
inline std::int32_t separation(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(b - a); }

// a rounded to the nearest integer, halves away from zero, so that
// roundOdd(-a) = -roundOdd(a): a pair's two kicks are then exactly opposite,
// and a velocity negated drifts exactly back. |a| of 2^62 or more, and NaN,
// are overflows.
inline std::int64_t roundOdd(double a)
{
    constexpr double limit = 4611686018427387904.0;  // 2^62
    if (!(a < limit && a > -limit)) [[unlikely]]
        fail(ErrorKind::Overflow);
    // The conversion truncates towards zero; the remainder is exact. The
    // remainder's sign is a coin toss in a kick, so no branch on it.
    const std::int64_t r = static_cast<std::int64_t>(a);
    const double rest = a - static_cast<double>(r);
    return r + static_cast<std::int64_t>(rest >= 0.5) - static_cast<std::int64_t>(rest <= -0.5);
}

// The move of one inner step at velocity V, in position units: V / 2^32
// rounded to nearest, halves away from zero (odd, as roundOdd). |V| is at
// most LargestVelocity, so the sums cannot overflow.
inline std::int32_t driftOf(std::int64_t V)
{
    // |V| rounded and the sign put back, without a branch: the sign of a
    // velocity is a coin toss.
    constexpr std::int64_t half = std::int64_t{1} << 31;
    const std::int64_t sign = V >> 63;  // 0 or -1
    const std::int64_t move = ((((V ^ sign) - sign + half) >> 32) ^ sign) - sign;
    return static_cast<std::int32_t>(move);
}

// A velocity and its integer units at `unitsPerSpeed` units per box length per
// unit time (tau 2^64 for an inner step tau): rounded odd, and failing
// (Overflow) from 2^62 units on; back, rounded to single.
inline std::int64_t velocityToFixed(float v, double unitsPerSpeed)
{
    return roundOdd(static_cast<double>(v) * unitsPerSpeed);
}
inline float fixedToVelocity(std::int64_t V, double unitsPerSpeed)
{
    return toSingle(static_cast<double>(V) / unitsPerSpeed);
}

}  // namespace ljgas
