// One simulation for Python: the record, a batch host whose boxes hold the
// parameters' texts, the random sequence of the lattice start, and the run
// that successive calls of run() continue. Knows nothing of Python.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/observables.h"
#include "engine/record.h"
#include "engine/run.h"
#include "engine/run_params.h"
#include "files/lammps_export.h"
#include "files/state_file.h"
#include "files/trajectory_file.h"
#include "runtime/random_sequence.h"
#include "tools/batch_host.h"

namespace ljgas {

// An engine error as the user reads it: the engine's message, with what the
// suspected box held where it reads as 0.
class SimulationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The parameters as ljgas-batch takes them from its command line.
struct SimulationSettings {
    std::string R = "0.01";
    std::string e0 = "0.2";
    std::string Tsoll = "0.3";
    bool thermostat = true;
    std::optional<std::uint64_t> seed;  // none: the window's fixed sequence
};

// A trajectory for one call of run(): the state the call starts from, the
// state after every step whose number (counted over all calls) is a multiple
// of `every`, and the last, once each, in the frames ljgas-batch
// --trajectory-out writes.
struct TrajectoryRequest {
    std::string path;
    std::int64_t every = 100;
    TrajectoryFormat format = TrajectoryFormat::ExtendedXyz;
};

// g(r) over the plotted bins: r in box lengths at each bin's centre, and the
// weight each bin gained divided by an ideal gas's for the same visits.
struct Distribution {
    std::array<double, PlotBins> r{};
    std::array<double, PlotBins> gNorm{};
};

// Every method but run() may be called from any thread at any time, also
// while run() is stepping in another: each takes the state between two steps.
class Simulation {
public:
    // The lattice start, and the state put in place of the lattice's when
    // one is given. Throws SimulationError when the start fails.
    explicit Simulation(const SimulationSettings& settings, const ParticleState* state = nullptr);

    // Steps the one run that every call continues, as Go pressed once and
    // Stop pressed after `steps` steps: its warm-up is the first 200 steps
    // of the first call, and its histogram keeps growing. After an engine
    // error the next call starts a new run, as Go pressed again would.
    // `keepGoing` is asked after every step, outside the state's lock; when
    // it says no, the run stops there and can be continued later. Returns
    // the steps made. Throws SimulationError; the state is then the one the
    // engine left. Only one call at a time; another throws std::logic_error.
    // With a trajectory, the file is written as the run goes, as ljgas-batch
    // writes its own, and ends with the state the run left (as an engine
    // error left it); it throws FileError when it cannot be written.
    std::int64_t run(std::int64_t steps, const std::function<bool()>& keepGoing,
                     const TrajectoryRequest* trajectory = nullptr);

    // Copies of particles 1..n: x, y, vx, vy.
    std::array<std::vector<float>, 4> particles() const;
    // Every temperature shown so far, with the step (counted over all calls)
    // at whose end it was shown.
    std::vector<float> temperatures() const;
    std::vector<std::int64_t> temperatureSteps() const;
    std::int64_t steps() const;
    float R() const;
    const SimulationSettings& settings() const { return settings_; }
    Distribution distribution() const;
    // Measured on the current state with e0 as a run holds it.
    Observables observables() const;
    // Writes the current state as a state file, complete or not at all.
    // Throws FileError.
    void saveState(const std::string& path) const;

private:
    void startOrResume();
    void stepUntilStopped(const std::function<bool()>& keepGoing);
    SimulationError failure(EngineError& e) const;

    SimulationSettings settings_;
    RunSettings held_;  // e0, Tsoll and the thermostat as a run takes them
    std::int64_t stepsBefore_ = 0;  // those of the run that wrote the state it started from
    std::unique_ptr<Record> rec_ = std::make_unique<Record>();
    BatchHost host_;
    RandomSequence random_;
    RunStats stats_;
    std::unique_ptr<Run> run_;
    std::vector<float> temperatures_;
    std::vector<std::int64_t> temperatureSteps_;
    // Held while a step is made and while a reader copies the state. The
    // run never waits for Python while it holds it, so a reader that holds
    // Python's lock may wait for it.
    mutable std::mutex state_;
    bool running_ = false;  // guarded by state_
};

}  // namespace ljgas
