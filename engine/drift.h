// Drift and periodic wrap of one particle, and the kinetic sum.
#pragma once

#include <cstdint>

#include "checked.h"
#include "histogram.h"
#include "record.h"

namespace ljgas {

// x := dt*vx + x, y := dt*vy + y, then one strict wrap test per edge: a
// coordinate of exactly 0 or 1 stays, so positions lie in [0, 1]. With the
// velocities already kicked this is symplectic Euler. A particle faster than
// 1000 box lengths per unit time would leave [0, 1]; nothing guards that.
// The strict wraps of one drifted coordinate.
inline float wrapped(float x)
{
    if (x > 1.0f)
        x = toSingle(static_cast<double>(x) - 1.0);
    if (x < 0.0f)
        x = toSingle(static_cast<double>(x) + 1.0);
    return x;
}

inline void driftAndWrap(Record& rec, int p, float dt)
{
    float& x = rec.x[p];
    float& y = rec.y[p];
    // Both coordinates move before either wraps.
    x = toSingle(static_cast<double>(dt) * rec.vx[p] + x);
    y = toSingle(static_cast<double>(dt) * rec.vy[p] + y);
    x = wrapped(x);
    y = wrapped(y);
}

// For a run that draws nothing in between: driftAndWrap for particles 1..n,
// then addSquaredSpeeds, with the same results and the same error at the
// same point. Done in one pass (the drift leaves velocities alone), so the
// long chain of dependent additions of the sum overlaps the drift's work.
// The refresh's pending histogram weights are added in the same pass too;
// when the drift fails, the caller adds the rest (AddPendingWeightsOnExit).
float driftAllAndAddSquaredSpeeds(Record& rec, float dt, float v2sum, PendingWeights& weights);

// v2sum := vx*vx + v2sum + vy*vy for particles 1..n, in that order, rounded
// once per particle.
float addSquaredSpeeds(const Record& rec, float v2sum);

}  // namespace ljgas
