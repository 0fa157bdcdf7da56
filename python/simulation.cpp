#include "simulation.h"

#include <algorithm>

#include "files/output_file.h"

namespace ljgas {

// What ljgas-batch does before its run.
Simulation::Simulation(const Parameters& parameters, const ParticleState* state) : session_(parameters)
{
    try {
        session_.initialize();
    } catch (const EngineError& e) {
        throw SimulationError(failureText(e, true));
    }
    if (state != nullptr) {
        session_.place(*state);
        stepsBefore_ = session_.steps();
    }
}

std::int64_t Simulation::run(std::int64_t steps, const std::function<bool()>& keepGoing,
                             const TrajectoryRequest* trajectory)
{
    if (steps < 0)
        throw std::invalid_argument("steps must be 0 or more, not " + std::to_string(steps));
    if (trajectory != nullptr && trajectory->every < 1)
        throw std::invalid_argument("every must be 1 or more, not " + std::to_string(trajectory->every));
    std::int64_t before = 0;
    std::optional<TrajectoryWriter> writer;
    {
        const std::lock_guard lock(state_);
        if (running_)
            throw std::logic_error("this simulation is running already");
        before = made();
        // The count behind the state stops at the most a state file records.
        steps = std::min(steps, MostSteps - session_.steps());
        if (steps == 0 && trajectory == nullptr)
            return 0;
        if (trajectory != nullptr)
            writer.emplace(trajectory->path, trajectory->format, session_.record(), before, session_.settings());
        running_ = true;
    }
    struct Finished {
        Simulation& sim;
        ~Finished()
        {
            const std::lock_guard lock(sim.state_);
            sim.running_ = false;
        }
    } finished{*this};
    // The last frame, also as the engine left a failed step.
    const auto finishTrajectory = [this, &writer](std::int64_t step) {
        if (!writer)
            return;
        const std::lock_guard lock(state_);
        writer->finish(session_.record(), step, session_.settings());
    };
    try {
        for (std::int64_t k = 0; k < steps; ++k) {
            step(writer, trajectory != nullptr ? trajectory->every : 0);
            if (keepGoing && !keepGoing())
                break;
        }
    } catch (const EngineError& e) {
        const std::int64_t failedIn = made() + (e.step() > 0 ? 1 : 0);
        // The engine error is the one to tell.
        try {
            finishTrajectory(failedIn);
        } catch (const FileError&) {
        }
        throw SimulationError(failureText(e, false));
    }
    finishTrajectory(made());
    const std::lock_guard lock(state_);
    return made() - before;
}

// One step of the run that every call continues, Go first where none goes
// on; a temperature shown in a failing step is still one shown.
void Simulation::step(std::optional<TrajectoryWriter>& writer, std::int64_t every)
{
    const std::lock_guard lock(state_);
    if (!session_.running())
        session_.start();
    StepResult result;
    try {
        result = session_.step();
    } catch (const EngineError&) {
        if (session_.lastReadOut()) {
            temperatures_.push_back(*session_.lastReadOut());
            temperatureSteps_.push_back(made() + 1);
        }
        throw;
    }
    if (result.readOut) {
        temperatures_.push_back(*result.readOut);
        temperatureSteps_.push_back(made());
    }
    if (writer && made() % every == 0)
        writer->frame(session_.record(), made(), session_.settings());
}

std::array<std::vector<float>, 4> Simulation::particles() const
{
    const std::lock_guard lock(state_);
    const Record& rec = session_.record();
    const int n = std::clamp<int>(rec.n, 0, ParticleArray::last);
    std::array<std::vector<float>, 4> copies;
    const ParticleArray* arrays[] = {&rec.x, &rec.y, &rec.vx, &rec.vy};
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
    return made();
}

float Simulation::R() const
{
    const std::lock_guard lock(state_);
    return session_.record().R;
}

DistributionColumns Simulation::distribution() const
{
    const std::lock_guard lock(state_);
    return distributionColumns(session_.record(), session_.runStats().binnedVisits);
}

Observables Simulation::observables() const
{
    const std::lock_guard lock(state_);
    return session_.observables();
}

void Simulation::reverse()
{
    const std::lock_guard lock(state_);
    session_.reverse();
}

void Simulation::saveState(const std::string& path) const
{
    std::string text;
    {
        const std::lock_guard lock(state_);
        text = stateFileText(session_.record(), session_.stateParameters());
    }
    OutputFile file(path);
    file.write(text);
    file.commit();
}

}  // namespace ljgas
