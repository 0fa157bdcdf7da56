// Temperature measured over each 20-step window, and the weak velocity
// rescaling thermostat that pulls it towards the target.
#pragma once

#include <cstdint>
#include <string>

namespace ljgas {

struct Record;
struct Host;

// T = (v2sum / n) / 20: the mean of vx^2 + vy^2 per particle and per step of
// the window. No factor one half and no Boltzmann constant: T is that mean.
float measureTemperature(float v2sum, std::int32_t n);

// lambda = (Tsoll / T - 1) * 0.05 + 1. Scaling every velocity by lambda
// scales T by about lambda^2, closing roughly a tenth of the gap.
//
// Near the target that is a gentle pull, but far from it the factor is
// anything but weak: a gas that has cooled to 1e-4 and is asked for 0.3
// would have every velocity multiplied by 150 at once, and a negative target
// would reverse them all. So lambda is kept within [1/sqrt(2), sqrt(2)]: one
// application at most doubles or halves the temperature, and a gas reheated
// from near rest warms over a dozen read-outs (0.24 time units) instead of
// exploding. Near the target lambda stays within 0.95 to 1.05, so the bound
// never binds there.
inline constexpr double LargestThermostatFactor = 1.4142135623730951;
inline constexpr double SmallestThermostatFactor = 0.7071067811865476;
float thermostatFactor(double Tsoll, float T);

// vx, vy of particles 1..n times lambda.
void rescaleVelocities(Record& rec, float lambda);

// What a read-out found and did: the temperature shown, and, when the
// thermostat acted, the target it read and the factor it scaled by (1 when
// it did not act).
struct ThermostatReading {
    float T = 0.0f;
    std::string TsollText;  // the box's text, as typed
    double Tsoll = 0.0;
    float lambda = 1.0f;
    // Scaled up by the largest factor: the target lies far above the gas,
    // so far that it drives the gas to whatever heat makes it fail.
    bool heatingAtBound() const { return lambda == static_cast<float>(LargestThermostatFactor); }
};

// The work of a window's last step: show T, and when the thermostat box is
// checked read the target and rescale; then take out a centre-of-mass drift
// that has grown past rounding (centre_of_mass.h). The caller then resets
// v2sum.
ThermostatReading temperatureStep(Record& rec, Host& host, float v2sum);

}  // namespace ljgas
