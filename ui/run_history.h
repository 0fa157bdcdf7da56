// What the window keeps of its runs for export: the temperatures each run
// showed, with their step numbers, and the pair visits behind the histogram.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "engine/run.h"
#include "temperature_log.h"

namespace ljgas {

// One run, while it goes on and after it has ended.
struct RunLog {
    RunStats stats;                 // written by the run as it steps
    TemperatureLog temperatures;    // shown in steps SliceCount, 2 SliceCount, ...
    // The last run nested in this one (Go pressed during it), and where this
    // run's own counters stood when that run ended.
    std::unique_ptr<RunLog> nested;
    RunStats statsWhenNestedEnded;
    // Visits in the histogram that this run did not bin itself: a nested run
    // cleared the histogram and filled it anew.
    std::int64_t visitsBinnedByNested = 0;

    // The step in which the m-th temperature (from 0) was shown. Every run
    // starts its 20-step cycle afresh, so this is exact at any length, where
    // the run's own single-precision step counter stops at 2^24.
    static std::int64_t stepOfTemperature(std::size_t m);
    // Pair visits binned into the histogram as it stands for this run.
    std::int64_t histogramVisits() const { return stats.binnedVisits + visitsBinnedByNested; }
};

// The stack of runs going on (each Go pressed during a run nests one more)
// and the one that ended last.
class RunHistory {
public:
    // A run starts; the run writes its progress into the stats returned,
    // which stay in place until end().
    RunStats& begin();
    // The innermost run has ended, normally or by an error.
    void end();
    // The innermost run showed a temperature.
    void temperatureShown(float T);

    // The run whose temperatures and histogram the window shows: the one
    // that stepped last. While runs go on that is the innermost one, unless
    // it has not stepped since a run nested in it ended. Null before Go.
    const RunLog* shown() const;

private:
    std::deque<RunLog> running_;  // innermost last; a deque keeps references valid
    std::unique_ptr<RunLog> ended_;
};

}  // namespace ljgas
