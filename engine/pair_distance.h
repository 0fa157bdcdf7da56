// Minimum-image pair distance in the periodic unit square.
#pragma once

#include <cmath>

#include "checked.h"

namespace ljgas {

// Largest integer not greater than v ("Int"). Exact for every double; values
// of 2^52 and more are integers already, and infinities and NaN pass through.
inline double Int(double v)
{
    if (!(std::fabs(v) < 4503599627370496.0))  // 2^52
        return v;
    const double t = static_cast<double>(static_cast<long long>(v));  // truncates toward 0
    return t > v ? t - 1.0 : t;
}

// The separation d taken to the nearest periodic copy: d minus d rounded to
// the nearest integer with halves rounded up, so it lies in [-0.5, 0.5).
// +0.5 becomes -0.5, and -0.5 stays.
inline double minimumImage(double d) { return d - Int(d + 0.5); }

// Squared minimum-image distance of two particles, in box lengths squared.
// Argument order: both x coordinates, then both y coordinates. The
// differences are exact in double; dx and dy are rounded to single, their
// squares summed in double and rounded once. The result lies in [0, 0.5].
inline float Radius2(float x1, float x2, float y1, float y2)
{
    const float dx = toSingle(minimumImage(static_cast<double>(x1) - x2));
    const float dy = toSingle(minimumImage(static_cast<double>(y1) - y2));
    return toSingle(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
}

}  // namespace ljgas
