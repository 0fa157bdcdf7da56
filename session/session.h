// Session: one gas and the runs that move it, as every front end drives it;
// the caller owns the loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

    // R counts at the next initialize(), e0 at the next start(), Tsoll and
    // the thermostat at the next read-out, the seed only at construction.
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
    // Stop: sets the stop flag; the caller ends the runs when it finds it set.
    void requestStop() { ljgas::requestStop(*rec_); }
    bool stopRequested() const { return rec_->PauseMark != 0; }
    void endRuns();

    // The innermost run's parameters; null while none goes on.
    const RunParams* runParams() const { return runs_.empty() ? nullptr : &runs_.back()->run.params(); }
    // The innermost run's progress; while none goes on, the last run's.
    const RunStats& runStats() const { return runs_.empty() ? ended_ : runs_.back()->stats; }

    // Pair visits binned since a run last cleared the histogram: the count
    // that turns its weights into g(r), also of one a failed nested run left.
    std::int64_t histogramVisits() const { return histogramVisits_; }

    // The observables with the forces that move the state: the innermost
    // run's R and e0, or between runs the record's R and e0 as its text reads.
    Observables observables() const;
    float e0() const;

private:
    struct Running {
        Running(Record& rec, Host& host) : run(rec, host, stats) {}
        RunStats stats;  // before the run, which writes into it
        Run run;
    };
    void complete(EngineError& error) const;

    Parameters parameters_;
    std::unique_ptr<Record> rec_ = std::make_unique<Record>();
    RandomSequence random_;
    Host host_;
    std::optional<float> shown_;  // the read-out of the step in progress
    std::vector<std::unique_ptr<Running>> runs_;  // innermost last
    RunStats ended_;
    std::int64_t steps_ = 0;
    std::int64_t histogramVisits_ = 0;
};

// An engine error with the prefix of where it came: the lattice start, or a
// run's start (its step is 0).
std::string failureText(const EngineError& error, bool atLatticeStart);

}  // namespace ljgas
