#include "portable_math.h"

#include <limits>

namespace ljgas {

namespace {

// ln 2 in two parts: the first has its last 32 bits zero, so that e * Ln2High
// is exact for every binary exponent e a double can have.
constexpr double Ln2High = 6.93147180369123816490e-01;
constexpr double Ln2Low = 1.90821492927058770002e-10;
constexpr double InverseLn2 = 1.44269504088896338700e+00;
constexpr double Sqrt2 = 1.41421356237309504880;

constexpr double TwoTo32 = 4294967296.0;
constexpr double TwoToMinus32 = 1.0 / TwoTo32;

// x * 2^e by exact doublings and halvings (in steps of 2^32 while far).
double scaledByPowerOfTwo(double x, int e)
{
    for (; e >= 32; e -= 32)
        x *= TwoTo32;
    for (; e <= -32; e += 32)
        x *= TwoToMinus32;
    for (; e > 0; --e)
        x *= 2.0;
    for (; e < 0; ++e)
        x *= 0.5;
    return x;
}

}  // namespace

// x = m 2^e with m in [sqrt(1/2), sqrt(2)), and ln m = 2 atanh(f) with
// f = (m - 1) / (m + 1), |f| <= 0.172: ln m = 2 (f + f^3/3 + f^5/5 + ...),
// whose thirteenth term is below 2^-60 of the first.
double portableLog(double x)
{
    if (!(x > 0.0))
        return x == 0.0 ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    if (!(x <= std::numeric_limits<double>::max()))
        return x;
    int e = 0;
    for (; x >= TwoTo32; e += 32)
        x *= TwoToMinus32;
    for (; x < TwoToMinus32; e -= 32)
        x *= TwoTo32;
    for (; x >= Sqrt2; ++e)
        x *= 0.5;
    for (; x < Sqrt2 * 0.5; --e)
        x *= 2.0;
    const double f = (x - 1.0) / (x + 1.0);
    const double s = f * f;
    double series = 1.0 / 25.0;
    for (int k = 11; k >= 0; --k)
        series = series * s + 1.0 / (2 * k + 1);
    return e * Ln2High + (2.0 * f * series + e * Ln2Low);
}

// e^x = 2^n e^r with n the nearest integer to x / ln 2 and |r| <= ln2 / 2,
// and e^r by its Taylor series to the 18th power (below 2^-70 of e^r).
double portableExp(double x)
{
    if (x != x)
        return x;
    if (x > 709.782712893384)
        return std::numeric_limits<double>::infinity();
    if (x < -745.2)
        return 0.0;
    // Adding and taking away 1.5 * 2^52 rounds to the nearest integer.
    constexpr double shifter = 6755399441055744.0;
    const double n = (x * InverseLn2 + shifter) - shifter;
    const double r = (x - n * Ln2High) - n * Ln2Low;
    double series = 1.0;
    for (int k = 18; k >= 1; --k)
        series = 1.0 + series * r / k;
    return scaledByPowerOfTwo(series, static_cast<int>(n));
}

}  // namespace ljgas
