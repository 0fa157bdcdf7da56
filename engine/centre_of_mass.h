// The centre-of-mass velocity of the gas, and the rule that takes it out
// again once rounding and the thermostat have let it grow.
#pragma once

#include "record.h"

namespace ljgas {

// Mean of vx and vy over particles 1..n, summed in double precision.
struct MeanVelocity {
    double x = 0.0;
    double y = 0.0;
};
MeanVelocity centreOfMassVelocity(const Record& rec);

// Why a drift appears at all: the pair forces are equal and opposite, so the
// total momentum changes only by rounding. But the staggered neighbour list
// leaks energy, the thermostat puts it back by scaling every velocity by
// lambda > 1, and that scales the rounding-level momentum as well, by about e
// every 10^5 steps at the defaults: after a few 10^6 steps the whole gas
// slides across the box while its internal motion freezes.
//
// Rounding leaves a mean velocity of order 1e-8 of the rms speed after the
// lattice start and some 1e-6 after 10^6 steps without the thermostat. 1e-4
// of the rms speed, sqrt(T), lies well above that, so an untouched run is the
// same to the bit while the drift is rounding noise, and well below anything
// visible (the drift's share of T is then under 1e-8).
inline constexpr double DriftLimit = 1e-4;

// When |v_cm| > DriftLimit * sqrt(T), subtracts v_cm from every velocity
// (each result rounded to single) and returns true; otherwise changes
// nothing. T is the temperature of the velocities as they are now (times
// lambda^2 when the thermostat has just rescaled them), so that a rescaling
// leaves the decision alone.
bool removeDriftBeyondRounding(Record& rec, double T);

}  // namespace ljgas
