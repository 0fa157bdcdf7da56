#include "run_history.h"

#include <utility>

#include "engine/run_params.h"

namespace ljgas {

namespace {

// Whether `run` has taken a step since its last nested run ended. A run past
// its warm-up bins pairs in every step; before it, its step counter is exact.
bool steppedSinceNested(const RunLog& run)
{
    return run.stats.step != run.statsWhenNestedEnded.step ||
           run.stats.binnedVisits != run.statsWhenNestedEnded.binnedVisits;
}

const RunLog& lastToStep(const RunLog& run)
{
    return run.nested && !steppedSinceNested(run) ? *run.nested : run;
}

}  // namespace

std::int64_t RunLog::stepOfTemperature(std::size_t m)
{
    return static_cast<std::int64_t>(m + 1) * SliceCount;
}

RunStats& RunHistory::begin()
{
    return running_.emplace_back().stats;
}

void RunHistory::end()
{
    auto run = std::make_unique<RunLog>(std::move(running_.back()));
    running_.pop_back();
    if (run->nested && !steppedSinceNested(*run))
        run = std::move(run->nested);
    if (running_.empty()) {
        ended_ = std::move(run);
        return;
    }
    // The run this one was nested in goes on with the histogram this one
    // left: cleared at its start, then filled by it alone.
    RunLog& outer = running_.back();
    outer.visitsBinnedByNested = run->histogramVisits() - outer.stats.binnedVisits;
    outer.statsWhenNestedEnded = outer.stats;
    outer.nested = std::move(run);
}

void RunHistory::temperatureShown(float T)
{
    if (!running_.empty())
        running_.back().temperatures.add(T);
}

const RunLog* RunHistory::shown() const
{
    if (!running_.empty())
        return &lastToStep(running_.back());
    return ended_.get();
}

}  // namespace ljgas
