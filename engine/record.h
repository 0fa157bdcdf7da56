// The simulation record: particle count, positions, velocities, the g(r)
// histogram, the particle radius and the stop flag. One lives with the window.
#pragma once

#include <cstdint>

#include "checked.h"

namespace ljgas {

// Positions are in units of the box edge (the periodic unit square), time is
// dimensionless, every particle has mass 1. Particles are numbered 1..n;
// index 0 and indexes above n are never used by the physics.
struct Record {
    std::int32_t n = 0;          // particle count, 225 after the first lattice start
    std::int16_t PauseMark = 0;  // stop request: 0 keep running, -1 stop
    ParticleArray x;             // position, box lengths
    ParticleArray y;
    ParticleArray vx;  // velocity, box lengths per unit time
    ParticleArray vy;
    HistogramArray g;        // g(r) histogram, bin k centred on r = k * 14R / nbins
    std::int16_t nbins = 0;  // bins cleared and plotted; 200 from the first run on
    float R = 0.0f;          // particle radius, box lengths (diameter sigma = 2R)

    // Weights each plotted bin has had, the bin's value they are counted up
    // to, and whether the bins are read from these sums (histogram.h).
    PlottedVisits gVisits;
    PlottedValues gCounted;
    bool gShowsSums = false;

    // Counts the changes of positions (steps, lattice starts, states put
    // in): a run that finds it changed since its own last step knows that its
    // neighbour list is no longer its own doing.
    std::uint64_t positionsVersion = 0;
};

// What the Stop button does, and all it does.
inline void requestStop(Record& rec) { rec.PauseMark = -1; }

}  // namespace ljgas
