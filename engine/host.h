// Host: what a run or a lattice start reaches outside the engine: the
// parameter boxes it reads, and what it shows, each part of which may be absent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ljgas {

struct Record;

// The parameter boxes, each read when the engine needs it: R at a lattice
// start, e0 at a run's start, the thermostat box and Tsoll at each read-out.
struct Boxes {
    std::function<std::string()> R;
    std::function<std::string()> e0;
    std::function<std::string()> Tsoll;
    // The check box's value: 0 unchecked, 1 checked (2, greyed, is not checked).
    std::function<std::int16_t()> thermostat;
};

// Circles at the particles' positions.
class ParticleView {
public:
    virtual ~ParticleView() = default;
    virtual void redrawParticles(const Record& rec) = 0;       // clear, rescale, draw 1..n
    virtual void eraseParticle(const Record& rec, int k) = 0;  // circle k in the background colour
    virtual void drawParticle(const Record& rec, int k) = 0;   // circle k in its colour
};

// The g(r) curve.
class DistributionPlot {
public:
    virtual ~DistributionPlot() = default;
    virtual void setUpPlot(const Record& rec) = 0;  // scale to nbins and clear
    virtual void redrawPlot(const Record& rec) = 0;
};

struct Host {
    Boxes boxes;
    // Shows a measured temperature; may be left empty.
    std::function<void(float T)> showTemperature;
    // Null: nothing is drawn, and a run skips 450 calls a step.
    ParticleView* view = nullptr;
    DistributionPlot* plot = nullptr;
};

}  // namespace ljgas
