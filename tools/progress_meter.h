// The progress bar of a batch run on a terminal: percentage, steps done and
// steps per second, redrawn in place a few times a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace ljgas {

class ProgressMeter {
public:
    ProgressMeter(std::FILE* terminal, std::int64_t totalSteps);

    // Called once per step; reads the clock only every few hundred steps.
    void update(std::int64_t stepsDone)
    {
        if ((stepsDone & (ClockCheckInterval - 1)) == 0)
            redrawIfDue(stepsDone);
    }

    // Clears the bar's line.
    void finish();

private:
    static constexpr std::int64_t ClockCheckInterval = 256;  // a power of two
    using Clock = std::chrono::steady_clock;

    void redrawIfDue(std::int64_t stepsDone);

    std::FILE* terminal_;
    std::int64_t totalSteps_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
    bool drawn_ = false;
};

}  // namespace ljgas
