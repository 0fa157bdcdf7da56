#include "run.h"

#include "drift.h"
#include "forces.h"
#include "histogram.h"
#include "host.h"
#include "neighbour_list.h"
#include "platform/text_to_number.h"
#include "record.h"
#include "run_params.h"
#include "thermostat.h"

namespace ljgas {

void runSimulation(Record& rec, Host& host, RunStats* statsOut)
{
    RunStats local;
    RunStats& stats = statsOut ? *statsOut : local;
    stats = RunStats{};

    // Run start. The parameters are fixed here for the whole run: a lattice
    // start with another R during the run changes neither cut-off nor sigma.
    RunParams p;
    p.rc2 = toSingle((static_cast<double>(rec.R) * 64) * rec.R);
    NeighbourList list(rec.n);  // released when the run ends, by error too
    const double R = rec.R;
    p.sig6 = toSingle(R * 64 * R * R * R * R * R);
    // Stored without a check: an e0 beyond single precision becomes infinite,
    // and the first kick of a stored pair then reports the overflow.
    p.e0 = static_cast<float>(textToNumber(host.text(Box::e0)));
    p.dt = TimeStep;
    resetHistogram(rec);
    host.setUpPlot(rec);
    PairCursor cursor;
    buildNeighbourList(list, cursor, rec, p.rc2);

    std::int16_t slice = 1;
    rec.PauseMark = 0;
    float step = 0.0f;
    float v2sum = 0.0f;
    const bool drawing = host.hasParticleView();

    do {
        step = toSingle(static_cast<double>(step) + 1.0);
        stats.step = step;

        // Re-examine one twentieth of the pairs: bin each distance, keep the
        // close ones in this step's slice.
        if (slice == 1)
            cursor.reset();
        list.refresh(slice, pairsPerRefresh(rec.n), cursor, rec, p.rc2, [&](float r2) {
            if (binPair(rec, r2, step))
                ++stats.binnedVisits;
        });

        kick(rec, list, p);

        // Erase, drift and draw each particle in one pass, so the picture is
        // never cleared as a whole.
        const std::int16_t count = narrow16(rec.n);
        for (std::int16_t k = 1; k <= count; ++k) {
            if (drawing)
                host.eraseParticle(rec, k);
            driftAndWrap(rec, k, p.dt);
            if (drawing)
                host.drawParticle(rec, k);
        }

        v2sum = addSquaredSpeeds(rec, v2sum);

        if (slice == PlotSlice)
            host.redrawPlot(rec);
        if (slice == SliceCount) {
            temperatureStep(rec, host, v2sum);
            v2sum = 0.0f;
        }
        slice = add16(slice, 1);
        if (slice > SliceCount)
            slice = 1;

        // Stop, Initialize and even another Go run to completion in here.
        host.doEvents();
    } while (rec.PauseMark == 0);
}

}  // namespace ljgas
