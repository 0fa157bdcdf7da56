#include "ui/form/pacer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace ljgas {

std::int64_t Pacer::steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Pacer::Pacer(Clock clock) : clock_(std::move(clock)) {}

void Pacer::setStepsPerSecond(int stepsPerSecond)
{
    rate_ = std::max(stepsPerSecond, 0);
    period_ = rate_ > 0 ? 1'000'000'000 / rate_ : 0;
    scheduled_ = false;
}

std::int64_t Pacer::stepDone()
{
    ++steps_;
    if (!paced())
        return 0;
    const std::int64_t now = clock_();
    // Slots follow each other exactly, so a late wake-up is made up by the
    // next steps and the rate holds on average; only a long lag restarts.
    if (!scheduled_ || now - slotEnd_ > MaxLagNanoseconds) {
        slotEnd_ = now;
        scheduled_ = true;
    }
    slotEnd_ += period_;
    return std::max<std::int64_t>(slotEnd_ - now, 0);
}

std::int64_t Pacer::remaining() const
{
    if (!paced() || !scheduled_)
        return 0;
    return std::max<std::int64_t>(slotEnd_ - clock_(), 0);
}

}  // namespace ljgas
