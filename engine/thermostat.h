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

// lambda = (Tsoll / T - 1) * 0.05 + 1: scaling every velocity by lambda
// scales T by about lambda^2, closing roughly a tenth of the gap. Far from
// the target that is anything but weak (a gas at 1e-4 asked for 0.3 would
// have every velocity multiplied by 150, a negative target would reverse
// them), so lambda is kept within [1/sqrt(2), sqrt(2)]: one application at
// most doubles or halves T, and a gas reheated from near rest warms over a
// dozen read-outs. Near the target lambda stays within 0.95 to 1.05.
inline constexpr double LargestThermostatFactor = 1.4142135623730951;
inline constexpr double SmallestThermostatFactor = 0.7071067811865476;
float thermostatFactor(double Tsoll, float T);

// vx, vy of particles 1..n times lambda.
void rescaleVelocities(Record& rec, float lambda);

// What a read-out found and did: the temperature shown and, when the
// thermostat acted, the target it read and the factor it scaled by.
struct ThermostatReading {
    float T = 0.0f;
    std::string TsollText;  // the box's text, as typed
    float lambda = 1.0f;
    // Scaled up by the largest factor: a target so far above the gas that it
    // drives it to whatever heat makes it fail.
    bool heatingAtBound() const { return lambda == static_cast<float>(LargestThermostatFactor); }
};

// The work of a window's last step: show T; when the thermostat box is
// checked, read the target and rescale; then take out a centre-of-mass drift
// grown past rounding. The caller then resets v2sum.
ThermostatReading temperatureStep(Record& rec, Host& host, float v2sum);

}  // namespace ljgas
