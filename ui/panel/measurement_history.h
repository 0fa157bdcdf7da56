// MeasurementHistory: the panel's read-outs with the energies and pressure
// of their states, for the strip chart and export; bounded however long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/observables.h"

namespace ljgas {

// The time one step stands for: dt as the decimal 0.001 it is meant to be
// (its single-precision bits lie a hair above).
inline constexpr double StepTime = 0.001;

// One temperature read-out and what was measured on the state the run went
// on from after it.
struct Reading {
    std::int64_t step = 0;  // steps since the gas was last set (lattice start or state put in)
    float T = 0.0f;         // the read-out as shown in Tist=
    // The set-point the thermostat pulled towards at this read-out; NaN
    // with the thermostat off.
    double Tsoll = std::numeric_limits<double>::quiet_NaN();
    double e0 = 0.0;     // the well depth the run holds
    double sigma = 0.0;  // 2R of the record
    Observables measured;

    double time() const { return static_cast<double>(step) * StepTime; }
};

class MeasurementHistory {
public:
    // At most 32 768 read-outs, 88 bytes each: 2.9 MB. An hour at full
    // speed shows some 4.5 million.
    static constexpr std::size_t DefaultCapacity = 32768;

    explicit MeasurementHistory(std::size_t capacity = DefaultCapacity);

    // Keeps every read-out until the history is full; then every second one
    // is dropped, the oldest kept, and only every second read-out is taken
    // from then on; when full again, every fourth, and so on. The history
    // stays evenly spaced in time, each point a read-out as it was taken.
    void add(const Reading& reading);
    void clear();

    const std::vector<Reading>& readings() const { return kept_; }
    bool empty() const { return kept_.empty(); }
    // Read-outs offered per read-out kept: 1, 2, 4, ...
    std::int64_t stride() const { return stride_; }
    // Changes with every reading kept and every clear: a page redraws its
    // charts only when it has.
    std::uint64_t version() const { return version_; }

    // The CSV of ljgas-batch --thermo-out with the time appended:
    // "step,T,kinetic,potential,total,pressure,vcm_x,vcm_y,time".
    std::string csvText() const;

private:
    void thin();

    std::size_t capacity_;
    std::vector<Reading> kept_;
    std::int64_t stride_ = 1;
    std::uint64_t version_ = 0;
    std::int64_t offered_ = 0;  // read-outs offered since the last clear
};

}  // namespace ljgas
