// Host: what a run or a lattice start reaches outside the engine, in three
// parts kept apart: the parameter boxes it reads, what it shows (the
// read-out, the particle view and the plot, each of which may be absent),
// and the yield after every step.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace ljgas {

struct Record;

// The parameter boxes, each read at the moment the engine needs it: R at a
// lattice start, e0 at a run's start, the thermostat box and then Tsoll at
// each temperature read-out. Texts exactly as typed.
struct Boxes {
    std::function<std::string()> R;
    std::function<std::string()> e0;
    std::function<std::string()> Tsoll;
    // The check box's value: 0 unchecked, 1 checked (2, greyed, is not checked).
    std::function<std::int16_t()> thermostat;
};

// Boxes whose texts never change, as a command line gives them.
Boxes fixedBoxes(std::string R, std::string e0, std::string Tsoll, bool thermostat);

// The error's message, and for an engine error whose suspected box holds a
// text that does not begin with a number (so that it reads as 0), what the
// box holds: "Division by zero at step 1: the bin of the distance between
// discs 2 and 1 with R = 0 (the R= box reads 'abc' as 0)".
std::string describeError(const std::exception& error, const Boxes& boxes);

// Circles at the particles' positions.
class ParticleView {
public:
    virtual ~ParticleView() = default;
    virtual void redrawParticles(const Record& rec) = 0;        // clear, rescale, draw 1..n
    virtual void eraseParticle(const Record& rec, int k) = 0;   // circle k in the background colour
    virtual void drawParticle(const Record& rec, int k) = 0;    // circle k in its colour
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
    // Absent (null): nothing is drawn, and a run skips the 450 erase and
    // draw calls of every step.
    ParticleView* view = nullptr;
    DistributionPlot* plot = nullptr;
    // After every step: a window handles its pending events here, and their
    // handlers run to completion inside the call (Stop, Initialize, even
    // another Go). May be left empty.
    std::function<void()> yield;
};

}  // namespace ljgas
