#include "drift.h"

#include <algorithm>

namespace ljgas {

float driftAllAndAddSquaredSpeeds(Record& rec, float dt, float v2sum, PendingWeights& weights)
{
    const std::int16_t count = narrow16(rec.n);
    if (count > ParticleArray::last) {  // runs into the end of the arrays, which the checks report
        weights.addAll(rec);
        for (std::int16_t k = 1; k <= count; ++k)
            driftAndWrap(rec, k, dt);
        return addSquaredSpeeds(rec, v2sum);
    }
    float* x = rec.x.data();
    float* y = rec.y.data();
    const float* vx = rec.vx.data();
    const float* vy = rec.vy.data();
    const double step = dt;
    // About 1260 weights over 225 particles: a few with each.
    constexpr std::int32_t weightsPerParticle = 6;
    for (int k = 1; k <= count; ++k) {
        // Both coordinates move before either wraps, as in driftAndWrap.
        x[k] = toSingle(step * vx[k] + x[k]);
        y[k] = toSingle(step * vy[k] + y[k]);
        x[k] = wrapped(x[k]);
        y[k] = wrapped(y[k]);
        // The sum's overflow check waits for the end (addSquaredSpeeds), so
        // a drift error still comes first, as in two passes.
        const double u = vx[k];
        const double w = vy[k];
        v2sum = static_cast<float>(u * u + v2sum + w * w);
        weights.addUpTo(rec, std::min(weights.count, weights.added + weightsPerParticle));
    }
    weights.addAll(rec);
    return toSingle(v2sum);
}

float addSquaredSpeeds(const Record& rec, float v2sum)
{
    const std::int16_t count = narrow16(rec.n);
    if (count > ParticleArray::last)
        ParticleArray::check(count);  // the one-by-one sum would fail at the end of the arrays
    const float* vx = rec.vx.data();
    const float* vy = rec.vy.data();
    // Once the sum overflows it stays infinite (every term is finite and not
    // negative), so one check at the end fails exactly when one in the loop
    // would, and keeps the checks off this chain of dependent additions.
    for (int k = 1; k <= count; ++k) {
        const double u = vx[k];
        const double w = vy[k];
        v2sum = static_cast<float>(u * u + v2sum + w * w);
    }
    return toSingle(v2sum);
}

}  // namespace ljgas
