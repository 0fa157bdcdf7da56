// Drift and periodic wrap of one particle, and the kinetic sum.
#pragma once

#include <cstdint>

#include "checked.h"
#include "histogram.h"
#include "record.h"

namespace ljgas {

// One strict wrap test per edge: a coordinate of exactly 0 or 1 stays, so
// positions lie in [0, 1]. A particle faster than 1000 box lengths per unit
// time would leave [0, 1]; nothing guards that.
inline float wrapped(float x)
{
    if (x > 1.0f)
        x = toSingle(static_cast<double>(x) - 1.0);
    if (x < 0.0f)
        x = toSingle(static_cast<double>(x) + 1.0);
    return x;
}

// x := dt*vx + x, y := dt*vy + y, then the wraps: with the velocities
// already kicked, symplectic Euler.
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

// For a run that draws nothing: driftAndWrap for particles 1..n, then
// addSquaredSpeeds, with the same results and the same error at the same
// point, in one pass so that the sum's long chain of dependent additions
// overlaps the drift's work. The refresh's pending weights are added in the
// same pass; when the drift fails, the caller adds the rest.
float driftAllAndAddSquaredSpeeds(Record& rec, float dt, float v2sum, PendingWeights& weights);

// v2sum := vx*vx + v2sum + vy*vy for particles 1..n, in that order, rounded
// once per particle.
float addSquaredSpeeds(const Record& rec, float v2sum);

}  // namespace ljgas
