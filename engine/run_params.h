// Constants of the model and the schedule, and the parameters a run fixes at
// its start.
#pragma once

#include <cstdint>

namespace ljgas {

// The pair sequence is cut into this many slices; one is re-examined per step.
// It is also the length of the temperature window.
inline constexpr std::int16_t SliceCount = 20;
// Steps of every run before the histogram starts to accumulate.
inline constexpr int WarmUpSteps = SliceCount * 10;
// The slice on which the distribution plot is redrawn.
inline constexpr std::int16_t PlotSlice = SliceCount / 2;
// Weak velocity rescaling: each application closes about a tenth of the gap.
inline constexpr double ThermostatGain = 0.05;
// Time step; single precision, bits 0x3A83126F.
inline constexpr float TimeStep = 0.001f;
// Lattice of the start: 15 x 15 sites, 225 particles.
inline constexpr int LatticeSide = 15;
inline constexpr std::int32_t ParticleCount = LatticeSide * LatticeSide;
// Histogram bins cleared and plotted by every run.
inline constexpr std::int16_t PlotBins = 200;

// Derived when Go is pressed; e0 kept for the whole run, the others until
// discs of another R are placed during it, whose R the run then takes.
struct RunParams {
    float rc2 = 0.0f;   // squared neighbour cut-off (8R)^2
    float sig6 = 0.0f;  // sigma^6 = (2R)^6
    float e0 = 0.0f;    // well depth, from the e0 box
    float dt = TimeStep;
    float R = 0.0f;  // the radius whose rc2 and sig6 these are
};

}  // namespace ljgas
