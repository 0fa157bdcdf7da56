// A run of the conserving dynamics: every pair within the cut-off kicked at
// every step, velocity Verlet on a fixed-point state, energy kept and every
// step exactly reversible; the same gas, read-out, thermostat box and g(r)
// as the designed run.
#pragma once

#include <cstdint>

#include "canonical_thermostat.h"
#include "exact_verlet.h"
#include "neighbour_list.h"
#include "parameters.h"
#include "run.h"
#include "run_params.h"
#include "runtime/random_variates.h"

namespace ljgas {

struct Host;
struct Record;

struct ConservingOptions {
    // Inner steps of dt/k per step, for the whole run (at most MaxSubSteps):
    // 0 or less chooses them at Go from the gas's stiffness (verletSubSteps).
    // Switching them within a run would break conservation, so there is no
    // switching.
    int subSteps = 0;
    ThermostatKind thermostat = ThermostatKind::Weak;
    // The canonical thermostat's draws, kept by the caller from run to run;
    // none: a sequence of the run's own.
    RandomVariates* variates = nullptr;
    // The state a run of the same gas left, to go on from exactly: its
    // integers are taken over when their discs are the record's (the
    // record's positions unchanged since), and its inner steps with them.
    const ExactVerlet* carried = nullptr;
};

// The weak rescaling's pull closes 2 * ThermostatGain of the kinetic energy's
// gap per read-out (lambda^2 - 1 = 0.1 (Tsoll / T - 1)): a relaxation time
// of SliceCount dt / 0.1 = 0.2 time units, the canonical thermostat's too.
double canonicalDecayPerReadOut();

class ConservingRun {
public:
    // Run start, as the designed run's: R from the record, e0 from its box,
    // histogram reset and plot set-up, stop flag cleared; then the integer
    // state from the record and the inner steps from its temperature.
    ConservingRun(Record& rec, Host& host, RunStats& stats, ConservingOptions options = {});

    // One step of dt: g(r)'s slice of pairs binned from the record's
    // positions, as the designed run bins them; the step; the record's
    // positions and velocities from the integers; the plot on its slice and
    // the read-out (temperature, thermostat box, Tsoll) on the last.
    void step();

    // Every velocity negated, in the integers and in the record. With the
    // thermostat off, n steps, reverse() and n steps end where the first n
    // began, to the bit.
    void reverse();

    const RunParams& params() const { return p_; }
    int subSteps() const { return verlet_.subSteps(); }
    // The energies from the integer state.
    ConservedEnergy energy() const { return verlet_.energy(); }
    const ExactVerlet& state() const { return verlet_; }
    // Whether the record's positions are still those of the run's own last
    // step (then state() is the record's gas, exactly).
    bool ownsRecord() const { return rec_.positionsVersion == version_; }

private:
    void takeRadius();
    void load();
    void loadIfMovedFromOutside();
    void readOut();

    Record& rec_;
    Host& host_;
    RunStats& stats_;
    RunParams p_;
    ThermostatKind thermostatKind_;
    RandomVariates ownVariates_{RandomSequence()};
    CanonicalThermostat canonical_;
    ExactVerlet verlet_;
    // The pair sequence g(r) is binned along, one slice a step.
    RunList binning_;
    std::uint64_t version_ = 0;  // the record's positionsVersion after our last change
    std::int16_t slice_ = 1;
    std::int64_t plotCycles_ = 0;
    float step_ = 0.0f;
    double v2sum_ = 0.0;  // sum of vx^2 + vy^2 over the discs and the window's steps
    const char* doing_ = "";
};

}  // namespace ljgas
