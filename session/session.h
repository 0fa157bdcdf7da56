// Session: one gas and the runs that move it, as every front end drives it;
// the caller owns the loop.
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
    // The temperature read out in this step, every 20th of a run; the record
    // then holds the state after its thermostat, the one the run goes on from.
    std::optional<float> readOut;
    // The run took the R of discs placed anew with another before this step.
    bool radiusTaken = false;
};

class Session {
public:
    // How deep runs nest before a start replaces the innermost. Each
    // suspended run keeps about a megabyte, and resumes only if every run
    // above it fails.
    static constexpr std::size_t DepthLimit = 16;

    // The record starts empty (n = 0); the random sequence is made from the
    // parameters' seed.
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
    // What a run draws into, each optional.
    void setView(ParticleView* view) { host_.view = view; }
    void setPlot(DistributionPlot* plot) { host_.plot = plot; }

    // The lattice start, drawn into the view; the steps behind the state
    // start from 0. Throws EngineError (its message complete, as step()'s)
    // before any disc moves.
    void initialize();
    // A state put in place (applyState), with the steps it names; drawn.
    void place(const ParticleState& state);
    // The steps behind the state, from a lattice start or a state placed,
    // across every run; it stops at MostSteps.
    std::int64_t steps() const { return steps_; }
    // The state's parameters for a state file: R as the record holds it, e0
    // as e0() gives it, Tsoll and the thermostat as typed, and the steps.
    StateParameters stateParameters() const;

    // Go: a run on top of any going on (in place of the innermost once
    // DepthLimit are); clears the stop flag. Throws EngineError, leaving the
    // runs as they were.
    void start();
    bool running() const { return !runs_.empty(); }
    std::size_t depth() const { return runs_.size(); }
    // One step of the innermost run. An engine error ends that run (the one
    // below takes the next step) and is thrown, its message complete: the
    // step of the run and in all, and what a box held that read as 0.
    StepResult step();
    // The read-out of the last step taken, also of one that failed after it.
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

    // Pair visits binned since a run last cleared the histogram: the count
    // that turns its weights into g(r), also of one a failed nested run left.
    std::int64_t histogramVisits() const { return histogramVisits_; }

    // The observables with the forces that move the state: the innermost
    // run's R and e0, or between runs the record's R and e0 as its text reads.
    Observables observables() const;
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
    std::optional<float> shown_;                  // the read-out of the step in progress
    std::vector<std::unique_ptr<Running>> runs_;  // innermost last
    RunStats ended_;
    std::int64_t steps_ = 0;
    std::int64_t histogramVisits_ = 0;
};

// An engine error with the prefix of where it came: the lattice start, or a
// run's start (its step is 0).
std::string failureText(const EngineError& error, bool atLatticeStart);

}  // namespace ljgas
