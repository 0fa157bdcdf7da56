// What the window keeps of a run for export: the temperatures it showed, and
// the pair visits behind the histogram it shows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/run_params.h"
#include "temperature_log.h"

namespace ljgas {

struct RunLog {
    TemperatureLog temperatures;  // shown in steps SliceCount, 2 SliceCount, ...
    // Pair visits binned into the histogram since a run last cleared it: the
    // count that turns its weights into g(r). A run that goes on after the
    // run nested in it failed carries on with the histogram that run left.
    std::int64_t visits = 0;

    std::int64_t histogramVisits() const { return visits; }

    // The step in which the m-th temperature (from 0) was shown. Every run
    // starts its 20-step cycle afresh, so this is exact at any length, where
    // the run's own single-precision step counter stops at 2^24.
    static std::int64_t stepOfTemperature(std::size_t m) { return static_cast<std::int64_t>(m + 1) * SliceCount; }
};

}  // namespace ljgas
