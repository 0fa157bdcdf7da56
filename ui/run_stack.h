// RunStack: the window's runs as data. Go pressed during a run nests a new
// run on top of the one going on; one loop steps the innermost run and lets
// the window handle its events after every step.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/run.h"
#include "run_log.h"

namespace ljgas {

struct Host;
struct Record;

class RunStack {
public:
    // How deep runs nest before Go restarts the innermost instead. Each
    // suspended run keeps its neighbour list and kick workspace, about a
    // megabyte, and resumes only if every run above it fails; sixteen levels
    // are more than anyone follows by eye and hold those tables to some
    // 16 MB, however long a key is held down.
    static constexpr std::size_t DepthLimit = 16;

    using ErrorReporter = std::function<void(const std::string& message)>;

    // The host's yield handles the window's events once per step; a Go
    // handled there calls go() again.
    RunStack(Record& rec, Host& host, ErrorReporter report, std::size_t depthLimit = DepthLimit);

    // Go. While idle: starts a run and steps the runs until they have all
    // ended, through Stop, errors or closing. During a run (inside a step's
    // yield): starts a run above the others, or in place of the innermost
    // once the stack is full, and returns; the loop steps it next. A run
    // that fails to start is reported and leaves the stack as it was.
    void go();

    // The window is closing: every run ends after this step's events, and
    // Go starts nothing from now on.
    void close();

    std::size_t depth() const { return runs_.size(); }
    // The parameters of the run stepping now (e0 as it took it at its Go);
    // null while no run goes on.
    const RunParams* steppingParams() const { return runs_.empty() ? nullptr : &runs_.back()->run->params(); }

    // The run whose temperatures and histogram the window shows: the last
    // one to start or to step. Null before the first Go.
    const RunLog* shown() const { return shown_.get(); }
    // The run stepping now showed a temperature.
    void temperatureShown(float T);
    // The steps behind the particles' state, over all runs and across Stop
    // and Go: from `steps` when they are placed (0 for a lattice, the steps
    // an opened state names), one more for every step a run completes. A
    // state saved names them; an engine error's message says them too.
    std::int64_t stepsBehindState() const { return stepsBehindState_; }
    void statePlaced(std::int64_t steps) { stepsBehindState_ = steps; }
    // Told when a run takes the R of discs placed anew with another, in the
    // step it does so.
    void onRadiusTaken(std::function<void(float R)> told) { radiusTaken_ = std::move(told); }

private:
    // One run with its progress and its log; never moves, since the run
    // writes into its stats by reference.
    struct Entry {
        std::shared_ptr<RunLog> log = std::make_shared<RunLog>();
        RunStats stats;
        std::optional<Run> run;
    };

    void start();
    void loop();
    bool stepInnermost();

    Record& rec_;
    Host& host_;
    ErrorReporter report_;
    std::size_t depthLimit_;
    std::vector<std::unique_ptr<Entry>> runs_;  // innermost last
    std::shared_ptr<RunLog> shown_;
    std::function<void(float R)> radiusTaken_;
    std::int64_t stepsBehindState_ = 0;
    bool looping_ = false;
    // Set by close(). The stop flag alone would end the runs, but a Go queued
    // behind the close would start a new one and clear the flag again,
    // leaving a hidden window running with nothing to stop it.
    bool closed_ = false;
};

}  // namespace ljgas
