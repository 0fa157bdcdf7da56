// Pacer: holds a run in the window to a chosen number of steps a second, so
// that a person can follow the discs. It only says how long to wait.
#pragma once

#include <cstdint>
#include <functional>

namespace ljgas {

class Pacer {
public:
    // Monotonic time in nanoseconds.
    using Clock = std::function<std::int64_t()>;
    static std::int64_t steadyNanoseconds();

    explicit Pacer(Clock clock = steadyNanoseconds);

    // 0 (or less) leaves runs unpaced. A new rate starts a new schedule.
    void setStepsPerSecond(int stepsPerSecond);
    // A new schedule at the same rate: the next step is due at once.
    void restart() { scheduled_ = false; }
    int stepsPerSecond() const { return rate_; }
    bool paced() const { return rate_ > 0; }

    // A step has just been done and takes the next time slot: the
    // nanoseconds until that slot ends (0 when unpaced or already late).
    std::int64_t stepDone();
    // Nanoseconds still to wait before the next step may start.
    std::int64_t remaining() const;

    // Steps counted by stepDone() since the program started.
    std::int64_t steps() const { return steps_; }

    // How far the schedule may fall behind before it begins afresh: after an
    // idle spell, a modal dialog or a machine too slow for the rate, the run
    // must not race to catch up.
    static constexpr std::int64_t MaxLagNanoseconds = 50'000'000;

private:
    Clock clock_;
    int rate_ = 0;
    std::int64_t period_ = 0;   // nanoseconds per step
    std::int64_t slotEnd_ = 0;  // when the next step may start
    bool scheduled_ = false;    // slotEnd_ belongs to the current rate
    std::int64_t steps_ = 0;
};

}  // namespace ljgas
