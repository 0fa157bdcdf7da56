#include "centre_of_mass.h"

#include <cstdint>

#include "checked.h"

namespace ljgas {

MeanVelocity centreOfMassVelocity(const Record& rec)
{
    const std::int16_t count = narrow16(rec.n);
    MeanVelocity sum;
    for (std::int16_t k = 1; k <= count; ++k) {
        sum.x += rec.vx[k];
        sum.y += rec.vy[k];
    }
    return {divide(sum.x, count), divide(sum.y, count)};
}

bool removeDriftBeyondRounding(Record& rec, double T)
{
    const MeanVelocity v = centreOfMassVelocity(rec);
    // Compared squared, so no root is taken; T is never negative here.
    const double drift2 = v.x * v.x + v.y * v.y;
    if (!(drift2 > DriftLimit * DriftLimit * T))
        return false;
    const std::int16_t count = narrow16(rec.n);
    for (std::int16_t k = 1; k <= count; ++k) {
        rec.vx[k] = toSingle(static_cast<double>(rec.vx[k]) - v.x);
        rec.vy[k] = toSingle(static_cast<double>(rec.vy[k]) - v.y);
    }
    return true;
}

}  // namespace ljgas
