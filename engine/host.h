// Host: everything a run or a lattice start needs from the window it runs in.
// The Qt window implements it; the batch driver and the tests have their own.
#pragma once

#include <cstdint>
#include <string>

namespace ljgas {

struct Record;

// The three parameter boxes.
enum class Box { R, e0, Tsoll };

class Host {
public:
    virtual ~Host() = default;

    // The current text of a parameter box, exactly as typed.
    virtual std::string text(Box box) = 0;
    // The thermostat check box: 0 unchecked, 1 checked.
    virtual std::int16_t thermostatValue() = 0;
    // Show a measured temperature in the read-out.
    virtual void showTemperature(float T) = 0;

    // Particle view. A host without one says so, and the run skips the
    // 450 erase/draw calls per step.
    virtual bool hasParticleView() const { return true; }
    virtual void redrawParticles(const Record& rec) = 0;        // clear, rescale, draw 1..n
    virtual void eraseParticle(const Record& rec, int k) = 0;   // circle k in colour 0
    virtual void drawParticle(const Record& rec, int k) = 0;    // circle k in its colour

    // Distribution plot.
    virtual void setUpPlot(const Record& rec) = 0;  // scale to nbins and clear
    virtual void redrawPlot(const Record& rec) = 0;

    // Let the window process every pending event; handlers run to completion
    // inside this call (Stop, Initialize, even another Go).
    virtual void doEvents() = 0;
};

}  // namespace ljgas
