#include "random_variates.h"

#include <cmath>
#include <limits>

#include "portable_math.h"

namespace ljgas {

double RandomVariates::uniform()
{
    // next() is k / 2^24 exactly, so these products are whole numbers.
    constexpr double TwoTo24 = 16777216.0;
    const double high = static_cast<double>(sequence_.next()) * TwoTo24;
    const double low = static_cast<double>(sequence_.next()) * TwoTo24;
    return ((high * TwoTo24 + low) + 0.5) / (TwoTo24 * TwoTo24);
}

double RandomVariates::normal()
{
    if (haveSpare_) {
        haveSpare_ = false;
        return spareNormal_;
    }
    double u = 0.0;
    double v = 0.0;
    double s = 0.0;
    do {
        u = 2.0 * uniform() - 1.0;
        v = 2.0 * uniform() - 1.0;
        s = u * u + v * v;
    } while (!(s < 1.0) || s == 0.0);
    // sqrt is exactly rounded by IEEE 754, unlike a library's log.
    const double factor = std::sqrt(-2.0 * portableLog(s) / s);
    spareNormal_ = v * factor;
    haveSpare_ = true;
    return u * factor;
}

double RandomVariates::gamma(double shape)
{
    if (!(shape >= 1.0))
        return std::numeric_limits<double>::quiet_NaN();
    const double d = shape - 1.0 / 3.0;
    const double c = 1.0 / std::sqrt(9.0 * d);
    for (;;) {
        double x = 0.0;
        double v = 0.0;
        do {
            x = normal();
            v = 1.0 + c * x;
        } while (!(v > 0.0));
        v = v * v * v;
        const double u = uniform();
        const double x2 = x * x;
        if (u < 1.0 - 0.0331 * (x2 * x2))
            return d * v;
        if (portableLog(u) < 0.5 * x2 + d * (1.0 - v + portableLog(v)))
            return d * v;
    }
}

}  // namespace ljgas
