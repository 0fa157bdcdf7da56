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
      kickScratch_(mul32(list_.list.ListCap, SliceCount))
{
    stats_ = RunStats{};
    const double R = rec.R;
    p_.sig6 = toSingle(R * 64 * R * R * R * R * R);
    // Stored without a check: an e0 beyond single precision becomes infinite,
    // and the first kick of a stored pair then reports the overflow.
    p_.e0 = static_cast<float>(textToNumber(host.boxes.e0()));
    p_.dt = TimeStep;
    resetHistogram(rec);
    if (host.plot != nullptr)
        host.plot->setUpPlot(rec);
    buildNeighbourList(list_, rec, p_.rc2);
    rec.PauseMark = 0;
}

void Run::step()
{
    step_ = toSingle(static_cast<double>(step_) + 1.0);
    stats_.step = step_;

    {
        // The refresh's weights are all in the histogram by the end of this
        // block, also when an error ends the step inside it, and before
        // anything can read the histogram.
        const AddPendingWeightsOnExit addWeights(pending_, rec_);
        // Re-examine one twentieth of the pairs: bin each distance, keep the
        // close ones in this step's slice.
        if (slice_ == 1)
            list_.cursor.reset();
        refreshAndBin(list_, slice_, rec_, p_.rc2, step_, stats_.binnedVisits, &pending_);
        kick(rec_, list_.list, p_, kickScratch_);
        moveParticles();
    }

    if (slice_ == PlotSlice && host_.plot != nullptr)
        host_.plot->redrawPlot(rec_);
    if (slice_ == SliceCount) {
        temperatureStep(rec_, host_, v2sum_);
        v2sum_ = 0.0f;
    }
    slice_ = add16(slice_, 1);
    if (slice_ > SliceCount)
        slice_ = 1;
}

// Drift, wrap and the kinetic sum. With a view, each particle is erased,
// moved and drawn in one pass, so the picture is never cleared as a whole.
// Without one, the drift, the sum and the held-back histogram weights share
// one pass, where the long chain of the sum's additions overlaps the rest.
void Run::moveParticles()
{
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
}

void runSimulation(Record& rec, Host& host, RunStats* statsOut)
{
    RunStats local;
    Run run(rec, host, statsOut ? *statsOut : local);
    do {
        run.step();
        // Stop, Initialize and even another Go run to completion in here.
        if (host.yield)
            host.yield();
    } while (rec.PauseMark == 0);
}

}  // namespace ljgas
