// Lennard-Jones pair forces: the velocity kick of every neighbour-list pair.
#pragma once

#include <cstddef>
#include <vector>

#include "neighbour_list.h"
#include "record.h"
#include "run_params.h"

namespace ljgas {

// f = (1/r) dV/dr for V(r) = 4 e0 ((sigma/r)^12 - (sigma/r)^6), from the
// single-precision r^2 and r^8: 4 e0 (6 sigma^6 / r^8 - 12 sigma^12 / r^14).
// Negative when the pair repels. Evaluated in double, rounded once.
inline float pairForce(float r2, float r8, float sig6, float e0)
{
    const double s6 = sig6;
    const double attraction = divide(s6 * 6.0f, r8);
    const double r14 = ((static_cast<double>(r2) * r8) * r2) * r2;
    const double repulsion = divide((s6 * 12.0f) * s6, r14);
    return toSingle((attraction - repulsion) * (static_cast<double>(e0) * 4.0f));
}

// Kick one pair (i, j): both velocities change by dt * f along the
// minimum-image vector from i to j, i forward and j back, so the pair's total
// momentum is unchanged up to rounding.
inline void kickPair(Record& rec, int i, int j, const RunParams& p)
{
    const float dx = toSingle(minimumImage(static_cast<double>(rec.x[j]) - rec.x[i]));
    const float dy = toSingle(minimumImage(static_cast<double>(rec.y[j]) - rec.y[i]));
    const float r2 = toSingle(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    const float r8 = toSingle(((static_cast<double>(r2) * r2) * r2) * r2);
    const float f = pairForce(r2, r8, p.sig6, p.e0);
    const float dtf = toSingle(static_cast<double>(p.dt) * f);
    const float tx = toSingle(static_cast<double>(dtf) * dx);
    const float ty = toSingle(static_cast<double>(dtf) * dy);
    rec.vx[i] = toSingle(static_cast<double>(rec.vx[i]) + tx);
    rec.vy[i] = toSingle(static_cast<double>(rec.vy[i]) + ty);
    rec.vx[j] = toSingle(static_cast<double>(rec.vx[j]) - tx);
    rec.vy[j] = toSingle(static_cast<double>(rec.vy[j]) - ty);
}

// Working space of the batched kick, allocated with the run: the positions
// of the stored pairs of all slices in one long batch (twenty short ones
// leave the vector units waiting), the kick of each, and the velocities of
// particles 0..saved-1 from before the last kick.
struct KickScratch {
    explicit KickScratch(std::int32_t listCap);

    std::size_t capacity = 0;
    std::vector<float> xi, yi, xj, yj;
    std::vector<float> tx, ty;
    std::vector<float> savedVx, savedVy;
    std::size_t saved = 0;
    std::vector<float> speed2;  // vx^2 + vy^2 of particles 1..n after the kick, in single
};

// Every stored pair, slices 1..20, each slice in stored order, velocities
// updated in place pair after pair. Positions do not move during the kick.
// There is no cut-off test: a pair that has left 8R since its slice was
// refreshed still interacts until the refresh drops it.
void kick(Record& rec, const NeighbourList& list, const RunParams& p);

// The same kick, the force arithmetic of all pairs in batches where the
// processor allows (it depends on positions only), then the velocities pair
// after pair in list order. If any pair would fail a check, or a velocity
// overflows, the kick is done again from the saved velocities one pair at a
// time, so that the error comes at the same pair with the same velocities.
// Leaves the squared speeds after the kick in the scratch; returns the
// largest.
float kick(Record& rec, const NeighbourList& list, const RunParams& p, KickScratch& scratch);

}  // namespace ljgas
