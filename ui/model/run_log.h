// What the window keeps of a run for export: the temperatures it showed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/run_params.h"
#include "ui/model/temperature_log.h"

namespace ljgas {

struct RunLog {
    TemperatureLog temperatures;  // shown in steps SliceCount, 2 SliceCount, ...

    // The step in which the m-th temperature (from 0) was shown. Every run
    // starts its 20-step cycle afresh, so this is exact at any length, where
    // the run's own single-precision step counter stops at 2^24.
    static std::int64_t stepOfTemperature(std::size_t m) { return static_cast<std::int64_t>(m + 1) * SliceCount; }
};

}  // namespace ljgas
