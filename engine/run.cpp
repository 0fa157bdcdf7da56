#include "run.h"

#include "drift.h"
#include "histogram.h"
#include "host.h"
#include "runtime/text_to_number.h"
#include "record.h"
#include "thermostat.h"

namespace ljgas {

namespace {

// The squared neighbour cut-off, (8R)^2, the first thing a run fixes.
RunParams cutOffOf(const Record& rec)
{
    RunParams p;
    p.rc2 = toSingle((static_cast<double>(rec.R) * 64) * rec.R);
    return p;
}

}  // namespace

// The parameters are fixed here for the whole run: a lattice start with
// another R during the run changes neither cut-off nor sigma.
Run::Run(Record& rec, Host& host, RunStats& stats)
    : rec_(rec), host_(host), stats_(stats), p_(cutOffOf(rec)), list_(rec.n),
      refreshScratch_(list_.ListCap), kickScratch_(mul32(list_.ListCap, SliceCount))
{
    stats_ = RunStats{};
    const double R = rec.R;
    p_.sig6 = toSingle(R * 64 * R * R * R * R * R);
    // Stored without a check: an e0 beyond single precision becomes infinite,
    // and the first kick of a stored pair then reports the overflow.
    p_.e0 = static_cast<float>(textToNumber(host.text(Box::e0)));
    p_.dt = TimeStep;
    resetHistogram(rec);
    host.setUpPlot(rec);
    buildNeighbourList(list_, cursor_, rec, p_.rc2, refreshScratch_);
    rec.PauseMark = 0;
    drawing_ = host.hasParticleView();
}

void Run::step()
{
    step_ = toSingle(static_cast<double>(step_) + 1.0);
    stats_.step = step_;

    // Re-examine one twentieth of the pairs: bin each distance, keep the
    // close ones in this step's slice.
    if (slice_ == 1)
        cursor_.reset();
    // A run that draws nothing adds the histogram weights during the drift,
    // where they overlap the kinetic sum; they are in before anything can
    // read them or an error can end the step.
    PendingWeights weights;
    refreshAndBin(list_, slice_, pairsPerRefresh(rec_.n), cursor_, rec_, p_.rc2, step_, stats_.binnedVisits,
                  refreshScratch_, drawing_ ? nullptr : &weights);

    try {
        kick(rec_, list_, p_, kickScratch_);
    } catch (const EngineError&) {
        weights.addAll(rec_);
        throw;
    }

    // Erase, drift and draw each particle in one pass, so the picture is
    // never cleared as a whole.
    if (drawing_) {
        const std::int16_t count = narrow16(rec_.n);
        for (std::int16_t k = 1; k <= count; ++k) {
            host_.eraseParticle(rec_, k);
            driftAndWrap(rec_, k, p_.dt);
            host_.drawParticle(rec_, k);
        }
        v2sum_ = addSquaredSpeeds(rec_, v2sum_);
    } else {
        v2sum_ = driftAllAndAddSquaredSpeeds(rec_, p_.dt, v2sum_, weights);
    }

    if (slice_ == PlotSlice)
        host_.redrawPlot(rec_);
    if (slice_ == SliceCount) {
        temperatureStep(rec_, host_, v2sum_);
        v2sum_ = 0.0f;
    }
    slice_ = add16(slice_, 1);
    if (slice_ > SliceCount)
        slice_ = 1;
}

void runSimulation(Record& rec, Host& host, RunStats* statsOut)
{
    RunStats local;
    Run run(rec, host, statsOut ? *statsOut : local);
    do {
        run.step();
        // Stop, Initialize and even another Go run to completion in here.
        host.doEvents();
    } while (rec.PauseMark == 0);
}

}  // namespace ljgas
