// One simulation for Python, knowing nothing of Python: a session, the one
// run that successive calls of run() continue, and a lock for its threads.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/observables.h"
#include "engine/parameters.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "files/trajectory_file.h"
#include "files/trajectory_writer.h"
#include "session/session.h"

namespace ljgas {

// An engine error as the user reads it (failureText).
class SimulationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A trajectory for one call of run(): the state it starts from, the state
// after every step (counted over all calls) that is a multiple of `every`,
// and the last, each once, as ljgas-batch --trajectory-out writes them.
struct TrajectoryRequest {
    std::string path;
    std::int64_t every = 100;
    TrajectoryFormat format = TrajectoryFormat::ExtendedXyz;
};

// Every method but run() may be called from any thread at any time, also
// while run() steps in another: each takes the state between two steps.
class Simulation {
public:
    // The lattice start, then `state` when given. Throws SimulationError.
    explicit Simulation(const Parameters& parameters, const ParticleState* state = nullptr);

    // Steps the one run that every call continues, as Go pressed once and
    // Stop after `steps` steps; after an engine error the next call starts a
    // new run, as Go pressed again would. `keepGoing` is asked after every
    // step, outside the lock; when it says no, the run stops there. Returns
    // the steps made. Throws SimulationError (the state as the engine left
    // it), FileError for a trajectory that cannot be written, and
    // std::logic_error for a second call at the same time.
    std::int64_t run(std::int64_t steps, const std::function<bool()>& keepGoing,
                     const TrajectoryRequest* trajectory = nullptr);

    // Copies of particles 1..n: x, y, vx, vy.
    std::array<std::vector<float>, 4> particles() const;
    // Every temperature shown so far, and the step (over all calls) of each.
    std::vector<float> temperatures() const;
    std::vector<std::int64_t> temperatureSteps() const;
    std::int64_t steps() const;
    float R() const;
    const Parameters& settings() const { return session_.parameters(); }
    // The r and g_norm columns of ljgas-batch's --gr-out, from the run's start.
    DistributionColumns distribution() const;
    // Measured on the current state with e0 as a run holds it.
    Observables observables() const;
    // Reverse Time, between two steps.
    void reverse();
    // Writes the current state as a state file, complete or not at all.
    // Throws FileError.
    void saveState(const std::string& path) const;

private:
    void step(std::optional<TrajectoryWriter>& writer, std::int64_t every);
    // Steps made over all calls.
    std::int64_t made() const { return session_.steps() - stepsBefore_; }

    Session session_;
    std::int64_t stepsBefore_ = 0;  // those of the run that wrote the state it started from
    std::vector<float> temperatures_;
    std::vector<std::int64_t> temperatureSteps_;
    // Held while a step is made and while a reader copies the state. The
    // run never waits for Python while holding it, so a reader holding
    // Python's lock may wait for it.
    mutable std::mutex state_;
    bool running_ = false;  // guarded by state_
};

}  // namespace ljgas
