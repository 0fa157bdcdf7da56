#include "simulation.h"

#include <algorithm>
#include <utility>

#include "engine/histogram.h"
#include "engine/host.h"
#include "engine/lattice.h"
#include "files/run_outputs.h"
#include "files/output_file.h"

namespace ljgas {

namespace {

RandomSequence sequenceFor(const std::optional<std::uint64_t>& seed)
{
    return seed ? RandomSequence(*seed) : RandomSequence();
}

// The trajectory of one call of run(), in place under its name from the
// start: each frame reaches the file whole the moment it is made.
class TrajectoryWriter {
public:
    explicit TrajectoryWriter(const TrajectoryRequest& request) : format_(request.format), file_(request.path)
    {
        file_.growInPlace();
    }
    void frame(const Record& rec, std::int64_t step, float e0)
    {
        file_.write(trajectoryFrame(format_, rec, step, e0));
        last_ = step;
    }
    // The frame of the state after `step`, unless it is written, and the file closed.
    void finish(const Record& rec, std::int64_t step, float e0)
    {
        if (last_ != step)
            frame(rec, step, e0);
        file_.finish();
    }

private:
    TrajectoryFormat format_;
    OutputFile file_;
    std::int64_t last_ = -1;
};

}  // namespace

// What ljgas-batch does before its run: the lattice start reads R from its
// box and draws the velocities; a state given replaces the lattice's.
Simulation::Simulation(const SimulationSettings& settings, const ParticleState* state)
    : settings_(settings), held_(runSettings(settings.e0, settings.Tsoll, settings.thermostat)),
      host_(*rec_, settings.R, settings.e0, settings.Tsoll, settings.thermostat), random_(sequenceFor(settings.seed))
{
    host_.onReadOut([this](std::int64_t step, float T) {
        temperatures_.push_back(T);
        temperatureSteps_.push_back(step);
    });
    try {
        initializeLattice(*rec_, host_, random_);
    } catch (EngineError& e) {
        throw SimulationError("initialisation failed: " + describeError(e, host_.boxes));
    }
    if (state != nullptr) {
        applyState(*rec_, *state);
        stepsBefore_ = state->parameters.steps.value_or(0);
    }
}

SimulationError Simulation::failure(EngineError& e) const
{
    if (e.step() > 0)
        e.setStepInAll(stepsBefore_ + host_.yields() + 1);
    // Step 0: the run's start failed, before its first step began.
    return SimulationError((e.step() > 0 ? "" : "the run could not start: ") + describeError(e, host_.boxes));
}

std::int64_t Simulation::run(std::int64_t steps, const std::function<bool()>& keepGoing,
                             const TrajectoryRequest* trajectory)
{
    if (steps < 0)
        throw std::invalid_argument("steps must be 0 or more, not " + std::to_string(steps));
    if (trajectory != nullptr && trajectory->every < 1)
        throw std::invalid_argument("every must be 1 or more, not " + std::to_string(trajectory->every));
    std::int64_t before = 0;
    {
        const std::lock_guard lock(state_);
        if (running_)
            throw std::logic_error("this simulation is running already");
        before = host_.yields();
        // The count behind the state stops at the most a state file records.
        steps = std::min(steps, std::max<std::int64_t>(0, MostSteps - stepsBefore_ - before));
        if (steps == 0 && trajectory == nullptr)
            return 0;
        running_ = true;
        host_.stopAfter(before + steps);
    }
    struct Finished {
        Simulation& sim;
        ~Finished()
        {
            const std::lock_guard lock(sim.state_);
            sim.running_ = false;
        }
    } finished{*this};
    std::optional<TrajectoryWriter> writer;
    struct StopSampling {
        BatchHost& host;
        ~StopSampling() { host.sampleEvery(0, nullptr); }
    } stopSampling{host_};
    if (trajectory != nullptr) {
        writer.emplace(*trajectory);
        const std::lock_guard lock(state_);
        writer->frame(*rec_, before, held_.e0);
        host_.sampleEvery(trajectory->every, [this, &writer](std::int64_t step) { writer->frame(*rec_, step, held_.e0); });
    }
    // The last frame: the state after the last step, or as the engine left
    // the step it failed in.
    const auto finishTrajectory = [this, &writer](bool failedInStep) {
        if (!writer)
            return;
        const std::lock_guard lock(state_);
        writer->finish(*rec_, failedInStep ? host_.stepInProgress() : host_.yields(), held_.e0);
    };
    // An engine error is the one to tell, before a trajectory that could not
    // be finished.
    const auto failed = [&finishTrajectory](bool failedInStep) {
        try {
            finishTrajectory(failedInStep);
        } catch (const FileError&) {
        }
    };
    if (steps > 0) {
        try {
            startOrResume();
        } catch (const SimulationError&) {
            failed(false);
            throw;
        }
        try {
            stepUntilStopped(keepGoing);
        } catch (const SimulationError&) {
            failed(true);
            throw;
        }
    }
    finishTrajectory(false);
    const std::lock_guard lock(state_);
    return host_.yields() - before;
}

// Go for the first call and after an engine error: the run's parameters,
// a cleared histogram and a new warm-up. Otherwise the stopped run goes on.
void Simulation::startOrResume()
{
    const std::lock_guard lock(state_);
    if (!run_) {
        try {
            run_ = std::make_unique<Run>(*rec_, host_, stats_);
        } catch (EngineError& e) {
            throw failure(e);
        }
    }
    rec_->PauseMark = 0;
}

// The loop of runSimulation, for a run that outlives it: step, yield, and
// stop once the flag is found set after the yield.
void Simulation::stepUntilStopped(const std::function<bool()>& keepGoing)
{
    for (;;) {
        {
            const std::lock_guard lock(state_);
            try {
                run_->step();
            } catch (EngineError& e) {
                host_.passOnReadOut();
                run_.reset();
                throw failure(e);
            } catch (...) {
                run_.reset();
                throw;
            }
            host_.yield();
            if (rec_->PauseMark != 0)
                return;
        }
        if (keepGoing && !keepGoing())
            return;
    }
}

std::array<std::vector<float>, 4> Simulation::particles() const
{
    const std::lock_guard lock(state_);
    const int n = std::clamp<int>(rec_->n, 0, ParticleArray::last);
    std::array<std::vector<float>, 4> copies;
    const ParticleArray* arrays[] = {&rec_->x, &rec_->y, &rec_->vx, &rec_->vy};
    for (std::size_t a = 0; a < copies.size(); ++a)
        copies[a].assign(arrays[a]->data() + 1, arrays[a]->data() + 1 + n);
    return copies;
}

std::vector<float> Simulation::temperatures() const
{
    const std::lock_guard lock(state_);
    return temperatures_;
}

std::vector<std::int64_t> Simulation::temperatureSteps() const
{
    const std::lock_guard lock(state_);
    return temperatureSteps_;
}

std::int64_t Simulation::steps() const
{
    const std::lock_guard lock(state_);
    return host_.yields();
}

float Simulation::R() const
{
    const std::lock_guard lock(state_);
    return rec_->R;
}

// The r and g_norm columns of ljgas-batch's --gr-out (distributionText),
// counted from the end of the warm-up: the visits binned and the weights
// gained since the run's start, which are those of the steps after 200.
Distribution Simulation::distribution() const
{
    const std::lock_guard lock(state_);
    const DistributionColumns columns = distributionColumns(*rec_, stats_.binnedVisits);
    return {columns.r, columns.gNorm};
}

Observables Simulation::observables() const
{
    const std::lock_guard lock(state_);
    return measureObservables(*rec_, held_.e0, rec_->R);
}

void Simulation::saveState(const std::string& path) const
{
    std::string text;
    {
        const std::lock_guard lock(state_);
        text = stateFileText(*rec_, stateParameters(*rec_, held_, stepsBefore_ + host_.yields()));
    }
    OutputFile file(path);
    file.write(text);
    file.commit();
}

}  // namespace ljgas
