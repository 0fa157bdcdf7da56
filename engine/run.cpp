#include "run.h"

#include <algorithm>
#include <cmath>

#include "drift.h"
#include "histogram.h"
#include "host.h"
#include "record.h"
#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"
#include "sub_steps.h"
#include "thermostat.h"

namespace ljgas {

namespace {

// The squared neighbour cut-off, (8R)^2, the first thing a run fixes.
RunParams cutOffOf(const Record& rec)
{
    RunParams p;
    p.R = rec.R;
    try {
        p.rc2 = toSingle((static_cast<double>(rec.R) * 64) * rec.R);
    } catch (EngineError& e) {
        e.explain("the neighbour cut-off (8R)^2 with R = " + shortNumber(rec.R) + ", beyond single precision",
                  SuspectBox::R);
        throw;
    }
    return p;
}

float sigma6Of(float R)
{
    const double r = R;
    try {
        return toSingle(r * 64 * r * r * r * r * r);
    } catch (EngineError& e) {
        e.explain("sigma^6 = (2R)^6 with R = " + shortNumber(r) + ", beyond single precision", SuspectBox::R);
        throw;
    }
}

// The temperature of the gas as a run finds it, before its first read-out.
float meanSquaredSpeed(const Record& rec)
{
    const int count = std::clamp<int>(rec.n, 0, ParticleArray::last);
    double sum = 0.0;
    for (int k = 1; k <= count; ++k)
        sum += static_cast<double>(rec.vx[k]) * rec.vx[k] + static_cast<double>(rec.vy[k]) * rec.vy[k];
    return count > 0 ? static_cast<float>(sum / count) : 0.0f;
}

// When the kinetic sum overflows, the disc whose speed did it.
void explainKineticSum(EngineError& e, const Record& rec)
{
    const int count = std::clamp<int>(rec.n, 0, ParticleArray::last);
    int fastest = 0;
    double fastest2 = -1.0;
    for (int k = 1; k <= count; ++k) {
        const double v2 = static_cast<double>(rec.vx[k]) * rec.vx[k] + static_cast<double>(rec.vy[k]) * rec.vy[k];
        if (v2 > fastest2)
            fastest2 = v2, fastest = k;
    }
    if (fastest > 0 && !std::isfinite(static_cast<float>(fastest2)))
        e.explain("the sum of the squared speeds: disc " + std::to_string(fastest) + " moves at " +
                  shortNumber(std::sqrt(fastest2)) + ", whose square lies beyond single precision");
}

// The temperature the gas is held at (sub_steps.h); a target below 0 brings
// the gas to rest.
double heldTemperature(float T, Host& host)
{
    if (host.boxes.thermostat() != 1)
        return T;
    const double target = std::max(0.0, textToNumber(host.boxes.Tsoll()));
    return T > target && T <= 2.0 * target ? target : T;
}

std::size_t particleSlots(const Record& rec)
{
    return static_cast<std::size_t>(std::clamp<int>(rec.n, 0, ParticleArray::last)) + 1;
}

}  // namespace

Run::Run(Record& rec, Host& host, RunStats& stats)
    : rec_(rec), host_(host), stats_(stats), p_(cutOffOf(rec)), list_(rec.n),
      kickScratch_(mul32(list_.list.ListCap, SliceCount)), guard_(rec, rec.R),
      speedLimit2_(subStepSpeedLimit2(rec.R, TimeStep)), keptX_(particleSlots(rec)), keptY_(particleSlots(rec)),
      keptVx_(particleSlots(rec)), keptVy_(particleSlots(rec))
{
    stats_ = RunStats{};
    p_.sig6 = sigma6Of(rec.R);
    // Stored without a check: an e0 beyond single precision becomes infinite,
    // and the first kick of a stored pair then reports the overflow.
    p_.e0 = static_cast<float>(textToNumber(host.boxes.e0()));
    p_.dt = TimeStep;
    gasSubSteps_ = collisionSubSteps(p_.R, p_.e0, heldTemperature(meanSquaredSpeed(rec), host), p_.dt);
    resetHistogram(rec);
    if (host.plot != nullptr)
        host.plot->setUpPlot(rec);
    buildNeighbourList(list_, rec, p_.rc2);
    rec.PauseMark = 0;
}

// Discs placed with another R during the run (Initialize, an opened state):
// forces of one radius on discs drawn at another are no picture of any gas,
// so the run goes on as if Go had just been pressed, but keeps its e0.
void Run::takeRadius()
{
    RunParams p = cutOffOf(rec_);
    p.sig6 = sigma6Of(rec_.R);
    p.e0 = p_.e0;
    p.dt = p_.dt;
    p_ = p;
    guard_ = ClosePairGuard(rec_, rec_.R);
    speedLimit2_ = subStepSpeedLimit2(rec_.R, TimeStep);
    gasSubSteps_ = collisionSubSteps(p_.R, p_.e0, heldTemperature(meanSquaredSpeed(rec_), host_), p_.dt);
    resetHistogram(rec_);
    if (host_.plot != nullptr)
        host_.plot->setUpPlot(rec_);
    buildNeighbourList(list_, rec_, p_.rc2);
    slice_ = 1;
    step_ = 0.0f;
    v2sum_ = 0.0f;
    plotCycles_ = 0;
    heatingTowards_.reset();
    stats_.binnedVisits = 0;
    ++stats_.radiusChanges;
}

void Run::step()
{
    beginStep(rec_, p_.R, step_, stats_, [this] { takeRadius(); });
    try {
        {
            // The refresh's weights are all in the histogram by the end of
            // this block, whatever ends it.
            const AddPendingWeightsOnExit addWeights(pending_, rec_);
            doing_ = "the refresh of the neighbour list and g(r)";
            if (slice_ == 1)
                list_.cursor.reset();
            guard_.beginStep(rec_);
            refreshAndBin(list_, slice_, rec_, p_.rc2, step_, stats_.binnedVisits, &pending_);
            integrate();
            ++rec_.positionsVersion;
        }
        if (slice_ == PlotSlice) {
            if (++plotCycles_ % CyclesPerHistogramCheck == 0)
                keepPlottedBinsTrue(rec_);
            if (host_.plot != nullptr) {
                doing_ = "the redraw of the distribution plot";
                host_.plot->redrawPlot(rec_);
            }
        }
        if (slice_ == SliceCount) {
            doing_ = "the temperature read-out";
            const ThermostatReading reading = temperatureStep(rec_, host_, v2sum_);
            heatingTowards_ = std::nullopt;
            if (reading.heatingAtBound()) {
                // The number as the box's text has it, as far as it reads.
                const std::string& text = reading.TsollText;
                const std::size_t blanks = std::min(text.find_first_not_of(' '), text.size());
                heatingTowards_ = text.substr(blanks, leadingNumberLength(text) - blanks);
            }
            gasSubSteps_ = collisionSubSteps(p_.R, p_.e0, heldTemperature(reading.T, host_), p_.dt);
            v2sum_ = 0.0f;
        }
        guard_.endStep(rec_, kickScratch_.speed2.data(), lastDrift_);
    } catch (EngineError& e) {
        e.explain(doing_);
        // Discs wider than the lattice's spacing start inside each other's
        // walls: the usual reason a run with a large R fails early.
        if (2.0 * p_.R > 1.0 / LatticeSide)
            e.addCause("at R = " + shortNumber(p_.R) + " discs on the lattice overlap (its spacing 1/" +
                           std::to_string(LatticeSide) + " is less than 2R)",
                       SuspectBox::R);
        // A target far above the gas heats it by the largest factor at every
        // read-out, until the collisions are more than single precision holds.
        if (heatingTowards_)
            e.addCause("the thermostat was heating the gas towards Tsoll = " + *heatingTowards_, SuspectBox::Tsoll);
        e.setStep(stats_.steps);
        throw;
    }
    slice_ = add16(slice_, 1);
    if (slice_ > SliceCount)
        slice_ = 1;
}

// Kick, then drift: once with dt, unless the kick leaves a disc so fast that
// it would move further than its collisions can be resolved in one step.
void Run::integrate()
{
    doing_ = "the kick";
    stats_.guardedPairs += guard_.protect(rec_, list_.list);
    if (gasSubSteps_ > 1) {
        integrateInSubSteps(gasSubSteps_);
        return;
    }
    const float fastest2 = kick(rec_, list_.list, p_, kickScratch_);
    // A disc too fast for even the finest sub-steps (or one whose speed
    // squared overflows) is left to the single step and its checks.
    if (fastest2 > speedLimit2_ && fastest2 <= speedLimit2_ * (MaxSubSteps * MaxSubSteps)) {
        const std::size_t saved = kickScratch_.saved;
        std::copy_n(kickScratch_.savedVx.data(), saved, rec_.vx.data());
        std::copy_n(kickScratch_.savedVy.data(), saved, rec_.vy.data());
        integrateInSubSteps(2);
        return;
    }
    doing_ = "the drift";
    moveParticles();
    lastDrift_ = p_.dt;
}

// The step from its start as k kick-drift steps of dt/k, the smallest k from
// `least` up in which no disc moves too far in any sub-step. The rest of the
// step stays once per step. A shown step erases every circle first and draws
// them all at the end.
void Run::integrateInSubSteps(int least)
{
    pending_.addAll(rec_);
    const std::size_t saved = keptX_.size();
    std::copy_n(rec_.vx.data(), saved, keptVx_.data());
    std::copy_n(rec_.vy.data(), saved, keptVy_.data());
    std::copy_n(rec_.x.data(), saved, keptX_.data());
    std::copy_n(rec_.y.data(), saved, keptY_.data());
    const std::int16_t count = narrow16(rec_.n);
    ParticleView* view = host_.view;
    if (view != nullptr) {
        for (std::int16_t k = 1; k <= count; ++k)
            view->eraseParticle(rec_, k);
    }
    for (int k = least;; ++k) {
        RunParams sub = p_;
        sub.dt = toSingle(static_cast<double>(p_.dt) / k);
        const float limit2 = subStepSpeedLimit2(p_.R, sub.dt);
        bool tooFast = false;
        for (int m = 1; m <= k; ++m) {
            doing_ = "the kick";
            if (m > 1) {
                guard_.addMoves(kickScratch_.speed2.data(), sub.dt);
                stats_.guardedPairs += guard_.protect(rec_, list_.list);
            }
            tooFast = kick(rec_, list_.list, sub, kickScratch_) > limit2 && k < MaxSubSteps;
            if (tooFast)
                break;
            doing_ = "the drift";
            for (std::int16_t p = 1; p <= count; ++p)
                driftAndWrap(rec_, p, sub.dt);
        }
        if (!tooFast) {
            ++stats_.subSteppedSteps;
            stats_.mostSubSteps = std::max(stats_.mostSubSteps, k);
            lastDrift_ = sub.dt;
            break;
        }
        std::copy_n(keptVx_.data(), saved, rec_.vx.data());
        std::copy_n(keptVy_.data(), saved, rec_.vy.data());
        std::copy_n(keptX_.data(), saved, rec_.x.data());
        std::copy_n(keptY_.data(), saved, rec_.y.data());
        guard_.discardStepMoves();
    }
    doing_ = "the kinetic sum";
    try {
        v2sum_ = addSquaredSpeeds(rec_, v2sum_);
    } catch (EngineError& e) {
        explainKineticSum(e, rec_);
        throw;
    }
    if (view != nullptr) {
        for (std::int16_t k = 1; k <= count; ++k)
            view->drawParticle(rec_, k);
    }
}

// Drift, wrap and the kinetic sum. With a view, each particle is erased,
// moved and drawn in one pass, so the picture is never cleared as a whole.
// Without one, the drift, the sum and the held-back weights share one pass.
void Run::moveParticles()
{
    try {
        if (ParticleView* view = host_.view) {
            const std::int16_t count = narrow16(rec_.n);
            for (std::int16_t k = 1; k <= count; ++k) {
                view->eraseParticle(rec_, k);
                driftAndWrap(rec_, k, p_.dt);
                view->drawParticle(rec_, k);
            }
            v2sum_ = addSquaredSpeeds(rec_, v2sum_);
        } else {
            v2sum_ = driftAllAndAddSquaredSpeeds(rec_, p_.dt, v2sum_, pending_);
        }
    } catch (EngineError& e) {
        explainKineticSum(e, rec_);
        throw;
    }
}

}  // namespace ljgas
