// The host of a batch run: the boxes hold the command line's texts, there is
// nothing to draw, and the yield counts steps and stops the run after the last.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "engine/host.h"

namespace ljgas {

struct Record;
class ProgressMeter;

class BatchHost : public Host {
public:
    // The boxes hold the given texts for good; no view, no plot.
    BatchHost(Record& rec, std::string R, std::string e0, std::string Tsoll, bool thermostat);

    // Stop the run in the yield of step `steps` (1 or more), as a Stop press.
    void stopAfter(std::int64_t steps) { stopAfter_ = steps; }
    // Called with the step and the value of each temperature shown, at the
    // end of that step: the record then holds the state after the read-out's
    // rescale, the state the run goes on from.
    void onReadOut(std::function<void(std::int64_t step, float T)> readOut) { readOut_ = std::move(readOut); }
    // Passes on a read-out whose step an engine error ended before its yield.
    void passOnReadOut();
    // Called once, in the yield of step `step`, when the run gets that far.
    void atStep(std::int64_t step, std::function<void()> action)
    {
        markStep_ = step;
        atMark_ = std::move(action);
    }
    // Called in the yield of every step whose number is a multiple of
    // `every` (1 or more), after the read-out and the mark.
    void sampleEvery(std::int64_t every, std::function<void(std::int64_t step)> sample)
    {
        sampleEvery_ = every;
        sample_ = std::move(sample);
    }
    void showProgressOn(ProgressMeter* meter) { progress_ = meter; }

    // Steps completed so far: each step ends with exactly one yield.
    std::int64_t yields() const { return yields_; }
    // The number of the step in progress, counted exactly; the run's own
    // step counter is single precision and stops growing at 2^24.
    std::int64_t stepInProgress() const { return yields_ + 1; }
    bool temperatureShown() const { return temperatureShown_; }
    float lastTemperature() const { return lastTemperature_; }

    BatchHost(const BatchHost&) = delete;
    BatchHost& operator=(const BatchHost&) = delete;

private:
    void readOut(float T);
    void afterStep();

    Record& rec_;
    std::int64_t stopAfter_ = 1;
    std::int64_t yields_ = 0;
    std::function<void(std::int64_t step, float T)> readOut_;
    std::int64_t markStep_ = 0;
    std::function<void()> atMark_;
    std::int64_t sampleEvery_ = 0;
    std::function<void(std::int64_t step)> sample_;
    ProgressMeter* progress_ = nullptr;
    bool temperatureShown_ = false;
    bool readOutPending_ = false;
    float lastTemperature_ = 0.0f;
};

}  // namespace ljgas
