// A run: what the Go button starts. Prepared at its start, then stepped from
// outside, one step at a time, by whoever owns the loop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checked.h"
#include "close_pair_guard.h"
#include "forces.h"
#include "neighbour_list.h"
#include "record.h"
#include "run_params.h"

namespace ljgas {

struct Host;

// Progress of one run, for drivers that report on it. The run writes it as
// it goes, so it is valid also after an EngineError ended the step.
struct RunStats {
    float step = 0.0f;                 // steps started so far (the run's step counter)
    std::int64_t steps = 0;            // the same, counted exactly beyond 2^24
    std::int64_t binnedVisits = 0;     // pair visits added to the histogram since it was cleared
    std::int64_t guardedPairs = 0;     // unlisted close pairs the guard put into the list
    std::int64_t subSteppedSteps = 0;  // steps integrated in sub-steps
    int mostSubSteps = 1;              // the most sub-steps any step took
    // Times the run took the R of discs placed anew with another; each
    // cleared the histogram and started binnedVisits from 0.
    std::int64_t radiusChanges = 0;
};

// The start of a step of either dynamics: discs placed with another R than
// the run's are taken first by `take` (an error there belongs to the step
// about to begin), then the run's step counter and the count of all its
// steps move on.
template <class Take>
void beginStep(const Record& rec, float runR, float& step, RunStats& stats, Take take)
{
    if (rec.R != runR) {
        try {
            take();
        } catch (EngineError& e) {
            e.explain("the run's change to the discs' new R");
            e.setStep(stats.steps + 1);
            throw;
        }
    }
    step = toSingle(static_cast<double>(step) + 1.0);
    stats.step = step;
    ++stats.steps;
}

// One run's own tables and counters, from the moment Go fixes the run's
// parameters to the end of the run. Everything here is released with it.
class Run {
public:
    // Run start: parameters, histogram reset, plot set-up, the full list;
    // clears the stop flag.
    Run(Record& rec, Host& host, RunStats& stats);

    // One step: refresh one slice, kick, erase-drift-draw, kinetic sum, plot
    // and temperature on their slices; a new R of the record is taken first.
    // Throws EngineError when a check fails; the record keeps the values it
    // had then, and the run is not to be stepped again.
    void step();

    const RunParams& params() const { return p_; }

private:
    void takeRadius();
    void integrate();
    void integrateInSubSteps(int least);
    void moveParticles();

    Record& rec_;
    Host& host_;
    RunStats& stats_;
    RunParams p_;
    RunList list_;
    KickScratch kickScratch_;
    // The refresh's weights, held back so a run without a view can add them
    // during the drift.
    PendingWeights pending_;
    ClosePairGuard guard_;
    float speedLimit2_ = 0.0f;  // beyond it a disc moves too far in dt
    int gasSubSteps_ = 1;       // the sub-steps every step takes for the gas's collisions
    float lastDrift_ = 0.0f;    // the time of the step's last drift
    // The step's starting positions and velocities, to redo it in sub-steps.
    std::vector<float> keptX_, keptY_, keptVx_, keptVy_;
    std::int16_t slice_ = 1;
    std::int64_t plotCycles_ = 0;  // cycles that reached the plot's slice
    float step_ = 0.0f;            // the run's own counter: a nested run has another
    float v2sum_ = 0.0f;
    const char* doing_ = "";  // what the step is busy with, for an error's message
    // The target the last read-out heated towards by the largest factor.
    std::optional<std::string> heatingTowards_;
};

}  // namespace ljgas
