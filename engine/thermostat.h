// Temperature measured over each 20-step window, and the weak velocity
// rescaling thermostat that pulls it towards the target.
#pragma once

#include <cstdint>

namespace ljgas {

struct Record;
struct Host;

// T = (v2sum / n) / 20: the mean of vx^2 + vy^2 per particle and per step of
// the window. No factor one half and no Boltzmann constant: T is that mean.
float measureTemperature(float v2sum, std::int32_t n);

// lambda = (Tsoll / T - 1) * 0.05 + 1. Scaling every velocity by lambda
// scales T by about lambda^2, closing roughly a tenth of the gap.
float thermostatFactor(double Tsoll, float T);

// vx, vy of particles 1..n times lambda.
void rescaleVelocities(Record& rec, float lambda);

// The work of a window's last step: show T, and when the thermostat box is
// checked read the target and rescale; then take out a centre-of-mass drift
// that has grown past rounding (centre_of_mass.h). The caller then resets
// v2sum.
void temperatureStep(Record& rec, Host& host, float v2sum);

}  // namespace ljgas
