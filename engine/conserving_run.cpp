#include "conserving_run.h"

#include <algorithm>
#include <string>

#include "histogram.h"
#include "host.h"
#include "record.h"
#include "runtime/number_to_text.h"
#include "runtime/portable_math.h"
#include "runtime/text_to_number.h"
#include "sub_steps.h"
#include "thermostat.h"

namespace ljgas {

namespace {

// The parameters as the designed run fixes them at Go: the record's R, the
// e0 box read once, single-precision rc2 and sigma^6 (for params(); the
// dynamics itself takes its cut-off and sigma in double from the same R).
RunParams paramsAtGo(const Record& rec, Host& host)
{
    RunParams p;
    p.R = rec.R;
    const double R = rec.R;
    try {
        p.rc2 = toSingle((R * 64) * R);
        p.sig6 = toSingle(R * 64 * R * R * R * R * R);
    } catch (EngineError& e) {
        e.explain("the cut-off (8R)^2 or sigma^6 with R = " + shortNumber(R) + ", beyond single precision",
                  SuspectBox::R);
        throw;
    }
    p.e0 = static_cast<float>(textToNumber(host.boxes.e0()));
    p.dt = TimeStep;
    return p;
}

int particleCount(const Record& rec) { return std::clamp<int>(rec.n, 0, ParticleArray::last); }

// The mean of vx^2 + vy^2 as the run finds the gas, for its inner steps.
float meanSquaredSpeedAtGo(const Record& rec)
{
    const int n = particleCount(rec);
    double sum = 0.0;
    for (int k = 1; k <= n; ++k)
        sum += static_cast<double>(rec.vx[k]) * rec.vx[k] + static_cast<double>(rec.vy[k]) * rec.vy[k];
    return n > 0 ? static_cast<float>(sum / n) : 0.0f;
}

// A carried state keeps its inner steps unless others are asked for: its
// velocities are counted in units of its inner step.
int subStepsAtGo(const Record& rec, const RunParams& p, const ConservingOptions& o)
{
    if (o.subSteps > 0)
        return std::min(o.subSteps, MaxSubSteps);
    if (o.carried != nullptr)
        return o.carried->subSteps();
    return verletSubSteps(p.R, p.e0, meanSquaredSpeedAtGo(rec), p.dt);
}

}  // namespace

double canonicalDecayPerReadOut() { return portableExp(-2.0 * ThermostatGain); }

ConservingRun::ConservingRun(Record& rec, Host& host, RunStats& stats, ConservingOptions options)
    : rec_(rec), host_(host), stats_(stats), p_(paramsAtGo(rec, host)), thermostatKind_(options.thermostat),
      canonical_(options.variates != nullptr ? *options.variates : ownVariates_, canonicalDecayPerReadOut()),
      verlet_(particleCount(rec), p_.R, p_.e0, p_.dt, subStepsAtGo(rec, p_, options)), binning_(rec.n)
{
    stats_ = RunStats{};
    stats_.mostSubSteps = verlet_.subSteps();
    resetHistogram(rec);
    if (host.plot != nullptr)
        host.plot->setUpPlot(rec);
    const ExactVerlet* carried = options.carried;
    if (carried != nullptr && verlet_.takeState(*carried))
        version_ = rec.positionsVersion;
    else
        load();
    rec.PauseMark = 0;
}

// The integers from the record, and the record from the integers (its
// momentum taken out, its coordinates on the grid of 2^-32).
void ConservingRun::load()
{
    try {
        verlet_.load(rec_);
    } catch (EngineError& e) {
        e.explain("the record's positions and velocities in fixed point: one is not finite, or a disc moves a "
                  "quarter of the box in an inner step");
        throw;
    }
    verlet_.store(rec_);
    version_ = ++rec_.positionsVersion;
}

// Discs placed with another R during the run: as the designed run does, the
// run is from here on one of the new R, but for e0, which it keeps: its
// integers, list and inner steps afresh, the 20-step cycle and the step
// count from their start, g(r) cleared with a new warm-up.
void ConservingRun::takeRadius()
{
    const float e0 = p_.e0;
    p_ = paramsAtGo(rec_, host_);
    p_.e0 = e0;
    ConservingOptions fresh;
    verlet_ = ExactVerlet(particleCount(rec_), p_.R, p_.e0, p_.dt, subStepsAtGo(rec_, p_, fresh));
    stats_.mostSubSteps = std::max(stats_.mostSubSteps, verlet_.subSteps());
    resetHistogram(rec_);
    if (host_.plot != nullptr)
        host_.plot->setUpPlot(rec_);
    load();
    binning_ = RunList(rec_.n);
    slice_ = 1;
    step_ = 0.0f;
    v2sum_ = 0.0;
    plotCycles_ = 0;
    stats_.binnedVisits = 0;
    ++stats_.radiusChanges;
}

void ConservingRun::step()
{
    beginStep(rec_, p_.R, step_, stats_, [this] { takeRadius(); });
    try {
        loadIfMovedFromOutside();
        // g(r) from the positions the step starts from, one twentieth of the
        // pairs, exactly as the designed run bins them.
        doing_ = "the g(r) refresh";
        if (slice_ == 1)
            binning_.cursor.reset();
        refreshAndBin(binning_, slice_, rec_, p_.rc2, step_, stats_.binnedVisits);

        doing_ = "the conserving step";
        const int n = particleCount(rec_);
        if (ParticleView* view = host_.view) {
            for (int k = 1; k <= n; ++k)
                view->eraseParticle(rec_, k);
        }
        verlet_.step();
        verlet_.store(rec_);
        version_ = ++rec_.positionsVersion;
        if (ParticleView* view = host_.view) {
            for (int k = 1; k <= n; ++k)
                view->drawParticle(rec_, k);
        }
        if (verlet_.subSteps() > 1)
            ++stats_.subSteppedSteps;
        v2sum_ += verlet_.squaredSpeeds();

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
            readOut();
        }
    } catch (EngineError& e) {
        e.explain(doing_);
        e.setStep(stats_.steps);
        throw;
    }
    slice_ = add16(slice_, 1);
    if (slice_ > SliceCount)
        slice_ = 1;
}

void ConservingRun::reverse()
{
    loadIfMovedFromOutside();
    verlet_.reverse();
    verlet_.storeVelocities(rec_);
}

// A lattice start or a state put in during the run: the integers start
// afresh from the record (the record's count included), the run's
// parameters stay.
void ConservingRun::loadIfMovedFromOutside()
{
    if (rec_.positionsVersion == version_)
        return;
    if (particleCount(rec_) != static_cast<int>(verlet_.x().size()) - 1)
        verlet_ = ExactVerlet(particleCount(rec_), p_.R, p_.e0, p_.dt, verlet_.subSteps());
    load();
}

// T, the mean of vx^2 + vy^2 per disc over the window's 20 steps, shown;
// then, with the thermostat box checked, Tsoll read and the velocities
// rescaled: by the weak pull lambda, or by the canonical draw towards a
// kinetic energy of mean n Tsoll / 2, which holds the read-out's mean at
// Tsoll.
void ConservingRun::readOut()
{
    const int n = particleCount(rec_);
    const float T = toSingle(divide(v2sum_, n) / SliceCount);
    v2sum_ = 0.0;
    if (host_.showTemperature)
        host_.showTemperature(T);
    if (host_.boxes.thermostat() != 1)
        return;
    const double Tsoll = textToNumber(host_.boxes.Tsoll());
    double factor = 1.0;
    if (thermostatKind_ == ThermostatKind::Weak) {
        try {
            factor = thermostatFactor(Tsoll, T);
        } catch (EngineError& e) {
            e.explain("the thermostat's Tsoll / T with Tsoll = " + shortNumber(Tsoll) +
                          " and T = 0: every disc is at rest",
                      SuspectBox::Tsoll);
            throw;
        }
    } else {
        // The total momentum is held at zero: 2n - 2 degrees of freedom.
        const double K = 0.5 * verlet_.squaredSpeeds();
        try {
            factor = canonical_.factor(K, 0.5 * n * Tsoll, 2 * n - 2);
        } catch (EngineError& e) {
            e.explain("the canonical thermostat with Tsoll = " + shortNumber(Tsoll) + " and kinetic energy " +
                          shortNumber(K) + (Tsoll < 0.0 ? ": a negative target" : ": every disc is at rest"),
                      SuspectBox::Tsoll);
            throw;
        }
    }
    verlet_.rescale(factor);
    verlet_.storeVelocities(rec_);
}

}  // namespace ljgas
