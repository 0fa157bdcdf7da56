#include "session.h"

#include <utility>

#include "engine/checked.h"
#include "engine/lattice.h"
#include "runtime/text_to_number.h"

namespace ljgas {

namespace {

RandomSequence sequenceFor(const std::optional<std::uint64_t>& seed)
{
    return seed ? RandomSequence(*seed) : RandomSequence();
}

// The canonical thermostat's draws: a sequence apart from the lattice's, so
// that a thermostat's draws never change the velocities of a lattice start.
RandomSequence thermostatSequenceFor(const std::optional<std::uint64_t>& seed)
{
    constexpr std::uint64_t Apart = 0x9e3779b97f4a7c15ULL;
    return RandomSequence(seed ? *seed ^ Apart : Apart);
}

}  // namespace

Session::Session(Parameters parameters)
    : parameters_(std::move(parameters)), random_(sequenceFor(parameters_.seed)),
      thermostatDraws_(thermostatSequenceFor(parameters_.seed))
{
    host_.boxes = {[this] { return parameters_.R; }, [this] { return parameters_.e0; },
                   [this] { return parameters_.Tsoll; },
                   [this]() -> std::int16_t { return parameters_.thermostat ? 1 : 0; }};
    host_.showTemperature = [this](float T) { shown_ = T; };
}

void Session::setParameters(const Parameters& parameters)
{
    const std::optional<std::uint64_t> seed = parameters_.seed;
    parameters_ = parameters;
    parameters_.seed = seed;
}

void Session::initialize()
{
    try {
        initializeLattice(*rec_, host_, random_);
    } catch (EngineError& e) {
        complete(e);
        throw;
    }
    steps_ = 0;
}

void Session::place(const ParticleState& state)
{
    applyState(*rec_, state);
    steps_ = state.parameters.steps.value_or(0);
    if (host_.view != nullptr)
        host_.view->redrawParticles(*rec_);
}

std::unique_ptr<Session::Running> Session::newRun()
{
    auto running = std::make_unique<Running>();
    if (parameters_.dynamics == Dynamics::Designed) {
        running->designed.emplace(*rec_, host_, running->stats);
        return running;
    }
    ConservingOptions options;
    options.subSteps = parameters_.subSteps;
    options.thermostat = parameters_.thermostatKind;
    options.variates = &thermostatDraws_;
    if (exact_ && rec_->positionsVersion == exactVersion_)
        options.carried = &*exact_;
    running->conserving.emplace(*rec_, host_, running->stats, options);
    return running;
}

void Session::keepExactState(const Running& running)
{
    if (running.conserving && running.conserving->ownsRecord()) {
        exact_ = running.conserving->state();
        exactVersion_ = rec_->positionsVersion;
    }
}

void Session::start()
{
    std::unique_ptr<Running> running;
    try {
        running = newRun();
    } catch (EngineError& e) {
        complete(e);
        throw;
    }
    histogramVisits_ = 0;
    if (runs_.size() < DepthLimit)
        runs_.push_back(std::move(running));
    else
        runs_.back() = std::move(running);
}

StepResult Session::step()
{
    Running& top = *runs_.back();
    const std::int64_t changes = top.stats.radiusChanges;
    const std::int64_t visits = top.stats.binnedVisits;
    // A failed step's visits are in the histogram too; a new R cleared it.
    const auto countVisits = [&] {
        const bool restarted = top.stats.radiusChanges != changes;
        histogramVisits_ = restarted ? top.stats.binnedVisits : histogramVisits_ + top.stats.binnedVisits - visits;
        return restarted;
    };
    shown_.reset();
    try {
        top.step();
    } catch (EngineError& e) {
        countVisits();
        complete(e);
        ended_ = top.stats;
        runs_.pop_back();
        throw;
    }
    const bool restarted = countVisits();
    if (steps_ < MostSteps)
        ++steps_;
    return {shown_, restarted};
}

void Session::endRuns()
{
    if (!runs_.empty()) {
        ended_ = runs_.back()->stats;
        keepExactState(*runs_.back());
    }
    runs_.clear();
}

void Session::reverse()
{
    if (!runs_.empty() && runs_.back()->conserving) {
        runs_.back()->conserving->reverse();
        return;
    }
    // Velocities alone: the positions, and so an exact state kept between
    // runs, still belong to the record.
    for (int k = 1; k <= rec_->n; ++k) {
        rec_->vx[k] = -rec_->vx[k];
        rec_->vy[k] = -rec_->vy[k];
    }
    if (exact_ && runs_.empty() && rec_->positionsVersion == exactVersion_)
        exact_->reverse();
}

std::optional<Dynamics> Session::runDynamics() const
{
    if (runs_.empty())
        return std::nullopt;
    return runs_.back()->designed ? Dynamics::Designed : Dynamics::Conserving;
}

int Session::runSubSteps() const
{
    return runs_.empty() || runs_.back()->designed ? 1 : runs_.back()->conserving->subSteps();
}

float Session::e0() const { return runs_.empty() ? runSettings(parameters_).e0 : runs_.back()->params().e0; }

Observables Session::observables() const
{
    const float R = runs_.empty() ? rec_->R : runs_.back()->params().R;
    return measureObservables(*rec_, e0(), R);
}

RunSettings Session::settings() const
{
    RunSettings settings = runSettings(parameters_);
    settings.e0 = e0();
    if (const std::optional<Dynamics> running = runDynamics()) {
        settings.dynamics = *running;
        settings.subSteps = *running == Dynamics::Conserving ? runSubSteps() : 0;
    } else if (exact_ && rec_->positionsVersion == exactVersion_) {
        settings.dynamics = Dynamics::Conserving;
        settings.subSteps = exact_->subSteps();
    }
    return settings;
}

StateParameters Session::stateParameters() const { return ljgas::stateParameters(*rec_, settings(), steps_); }

// The step in all, and for a box whose text does not begin with a number
// (so that it reads as 0), what it holds.
void Session::complete(EngineError& error) const
{
    if (error.step() > 0)
        error.setStepInAll(steps_ + 1);
    const char* caption = nullptr;
    const std::string* text = nullptr;
    switch (error.suspect()) {
    case SuspectBox::R: caption = "R=", text = &parameters_.R; break;
    case SuspectBox::e0: caption = "e0=", text = &parameters_.e0; break;
    case SuspectBox::Tsoll: caption = "Tsoll=", text = &parameters_.Tsoll; break;
    case SuspectBox::None: break;
    }
    if (text != nullptr && leadingNumberLength(*text) == 0)
        error.addRemark(std::string("the ") + caption + " box reads '" + *text + "' as 0");
}

std::string failureText(const EngineError& error, bool atLatticeStart)
{
    if (atLatticeStart)
        return std::string("initialisation failed: ") + error.what();
    return (error.step() > 0 ? "" : "the run could not start: ") + std::string(error.what());
}

}  // namespace ljgas
