// One simulation for Python: a session whose parameters are the texts
// ljgas-batch would take from its command line, and the one run that
// successive calls of run() continue, with a lock for Python's threads.
// Knows nothing of Python.
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
#include "engine/run_params.h"
#include "files/state_file.h"
#include "files/trajectory_file.h"
#include "files/trajectory_writer.h"
#include "session/session.h"

namespace ljgas {

// An engine error as the user reads it (the session's message, with the
// prefix of where it came).
class SimulationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
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
    explicit Simulation(const Parameters& parameters, const ParticleState* state = nullptr);

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
    const Parameters& settings() const { return session_.parameters(); }
    Distribution distribution() const;
    // Measured on the current state with e0 as a run holds it.
    Observables observables() const;
    // Reverse Time, between two steps.
    void reverse();
    // Writes the current state as a state file, complete or not at all.
    // Throws FileError.
    void saveState(const std::string& path) const;

private:
    void step(std::optional<TrajectoryWriter>& writer, std::int64_t every);
    // Steps made over all calls, of the session's count behind the state.
    std::int64_t made() const { return session_.steps() - stepsBefore_; }

    Session session_;
    std::int64_t stepsBefore_ = 0;  // those of the run that wrote the state it started from
    std::vector<float> temperatures_;
    std::vector<std::int64_t> temperatureSteps_;
    // Held while a step is made and while a reader copies the state. The
    // run never waits for Python while it holds it, so a reader that holds
    // Python's lock may wait for it.
    mutable std::mutex state_;
    bool running_ = false;  // guarded by state_
};

}  // namespace ljgas
