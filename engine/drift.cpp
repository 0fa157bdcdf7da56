#include "drift.h"

namespace ljgas {

float addSquaredSpeeds(const Record& rec, float v2sum)
{
    const std::int16_t count = narrow16(rec.n);
    for (std::int16_t p = 1; p <= count; ++p) {
        const double vx = rec.vx[p];
        const double vy = rec.vy[p];
        v2sum = toSingle(vx * vx + v2sum + vy * vy);
    }
    return v2sum;
}

}  // namespace ljgas
