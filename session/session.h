// Session: one gas and the runs that move it, as every front end drives it.
// It holds the record, the random sequence of the lattice starts, the
// parameters as typed, the steps behind the state as one exact count, and
// the runs going on; the caller owns the loop and takes one step at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/conserving_run.h"
#include "engine/host.h"
#include "engine/observables.h"
#include "engine/parameters.h"
#include "engine/record.h"
#include "engine/run.h"
#include "files/state_file.h"
#include "runtime/random_sequence.h"

namespace ljgas {

// What one step produced.
struct StepResult {
    // The temperature read out in this step, every 20th of a run. The record
    // then holds the state after that read-out's thermostat, the state the
    // run goes on from, which is what a measurement of the read-out measures.
    std::optional<float> readOut;
    // The run took the R of discs placed anew with another before this step:
    // its cut-off and sigma from here on, its histogram and warm-up afresh.
    bool radiusTaken = false;
};

class Session {
public:
    // How deep runs nest before a start replaces the innermost instead. Each
    // suspended run keeps its neighbour list and kick workspace, about a
    // megabyte, and resumes only if every run above it fails; sixteen levels
    // are more than anyone follows by eye.
    static constexpr std::size_t DepthLimit = 16;

    // The record starts empty (n = 0); initialize() is the start-up's
    // lattice start. The random sequence is made from the parameters' seed.
    explicit Session(Parameters parameters = {});
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Each counts from the moment it is set: R at the next initialize(), e0
    // at the next start(), Tsoll and the thermostat at the next read-out.
    // The dynamics, the kind of thermostat and the inner steps at the next
    // start(). The seed counts only at construction.
    const Parameters& parameters() const { return parameters_; }
    void setParameters(const Parameters& parameters);

    const Record& record() const { return *rec_; }
    // What a run draws into, each optional: the erase-drift-draw of every
    // disc inside the step, the plot on its schedule.
    void setView(ParticleView* view) { host_.view = view; }
    void setPlot(DistributionPlot* plot) { host_.plot = plot; }

    // The lattice start with R from its parameter, drawn into the view; the
    // steps behind the state start from 0. Throws EngineError (its message
    // complete, see below) before any disc moves.
    void initialize();
    // x, y, vx, vy of particles 1..225 from a state, and R when it names one;
    // the steps behind the state are those it names. Drawn into the view.
    void place(const ParticleState& state);
    // The steps behind the particles' state: from a lattice start or a state
    // placed on, across every run; it stays at MostSteps (files/state_file.h)
    // once there, more than any run reaches.
    std::int64_t steps() const { return steps_; }
    // The state's parameters for a state file: R as the record holds it,
    // e0 as the run going on took it (else as its text reads), Tsoll and the
    // thermostat as typed, and the steps.
    StateParameters stateParameters() const;

    // Go: a run of the current state, on top of any going on (in place of
    // the innermost once DepthLimit are). Clears the stop flag. Throws
    // EngineError, leaving the runs as they were.
    void start();
    bool running() const { return !runs_.empty(); }
    std::size_t depth() const { return runs_.size(); }
    // One step of the innermost run. An engine error ends that run (the one
    // below, if any, takes the next step) and is thrown, its message
    // complete: the step of the run and in all, and what a box held that
    // read as 0 ("... (the R= box reads 'abc' as 0)").
    StepResult step();
    // The read-out of the last step taken, also of one that failed after it
    // (the thermostat's own check comes after the temperature is shown).
    const std::optional<float>& lastReadOut() const { return shown_; }
    // Reverse time: every velocity negated. In the conserving dynamics, with
    // the thermostat off, n steps, reverse() and n steps end where the first
    // n began, to the bit, also across Stop and Go (between runs its exact
    // state is kept for the next conserving run of the same discs). In the
    // designed one the gas turns back too, but not exactly.
    void reverse();

    // Stop: sets the stop flag and nothing else; the caller ends the runs
    // when it finds the flag set after a step, as the window does.
    void requestStop() { ljgas::requestStop(*rec_); }
    bool stopRequested() const { return rec_->PauseMark != 0; }
    void endRuns();

    // The innermost run's parameters and dynamics; null while none goes on.
    const RunParams* runParams() const { return runs_.empty() ? nullptr : &runs_.back()->params(); }
    std::optional<Dynamics> runDynamics() const;
    // The inner steps of the innermost run, 1 for the designed dynamics.
    int runSubSteps() const;
    // The innermost run's progress; while none goes on, that of the last run
    // to end (by Stop or by an error, whose failing step it counts).
    const RunStats& runStats() const { return runs_.empty() ? ended_ : runs_.back()->stats; }

    // Pair visits binned into the histogram since a run last cleared it (a
    // run's start, or a run taking a new R): the count that turns its
    // weights into g(r). A run that goes on after the run nested in it
    // failed carries on with the histogram that run left.
    std::int64_t histogramVisits() const { return histogramVisits_; }

    // The energies and pressure of the state with the forces that move it:
    // the innermost run's R and e0, or between runs the record's R and e0 as
    // its text reads, which the next run takes.
    Observables observables() const;
    // e0 the same way.
    float e0() const;
    // e0 so, Tsoll and the thermostat as typed, and the dynamics with its
    // inner steps as the state was made (the innermost run's, or the last
    // conserving run's while its discs are the record's): what a state file
    // and a LAMMPS export record.
    RunSettings settings() const;

private:
    // One run of either dynamics; stats before the run, which writes into it.
    struct Running {
        RunStats stats;
        std::optional<Run> designed;
        std::optional<ConservingRun> conserving;
        void step() { designed ? designed->step() : conserving->step(); }
        const RunParams& params() const { return designed ? designed->params() : conserving->params(); }
    };
    std::unique_ptr<Running> newRun();
    void keepExactState(const Running& running);
    void complete(EngineError& error) const;

    Parameters parameters_;
    std::unique_ptr<Record> rec_ = std::make_unique<Record>();
    RandomSequence random_;
    RandomVariates thermostatDraws_;
    // The exact state of the last conserving run to end, while the record
    // still holds its discs (positionsVersion as it left it).
    std::optional<ExactVerlet> exact_;
    std::uint64_t exactVersion_ = 0;
    Host host_;
    std::optional<float> shown_;  // the read-out of the step in progress
    std::vector<std::unique_ptr<Running>> runs_;  // innermost last
    RunStats ended_;
    std::int64_t steps_ = 0;
    std::int64_t histogramVisits_ = 0;
};

// The prefixes a front end that keeps a log puts before an engine error,
// by where it came: the lattice start, or a run's start (its step is 0).
std::string failureText(const EngineError& error, bool atLatticeStart);

}  // namespace ljgas
