#include "progress_meter.h"

namespace ljgas {

namespace {

// At most ten redraws a second: faster is unreadable and costs the run.
constexpr std::chrono::milliseconds RedrawInterval{100};
constexpr int BarWidth = 30;

}  // namespace

ProgressMeter::ProgressMeter(std::FILE* terminal, std::int64_t totalSteps)
    : terminal_(terminal), totalSteps_(totalSteps), start_(Clock::now()), lastDrawn_(start_)
{
}

void ProgressMeter::redrawIfDue(std::int64_t stepsDone)
{
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < RedrawInterval)
        return;
    lastDrawn_ = now;
    drawn_ = true;

    const double fraction = totalSteps_ > 0 ? static_cast<double>(stepsDone) / static_cast<double>(totalSteps_) : 1.0;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0.0 ? static_cast<double>(stepsDone) / seconds : 0.0;
    char bar[BarWidth + 1];
    const int filled = static_cast<int>(fraction * BarWidth);
    for (int i = 0; i < BarWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[BarWidth] = '\0';
    std::fprintf(terminal_, "\r[%s] %3d%%  %lld/%lld steps  %.0f steps/s ", bar, static_cast<int>(fraction * 100.0),
                 static_cast<long long>(stepsDone), static_cast<long long>(totalSteps_), rate);
    std::fflush(terminal_);
}

void ProgressMeter::finish()
{
    if (!drawn_)
        return;
    // ESC [ K erases to the end of the line.
    std::fputs("\r\033[K", terminal_);
    std::fflush(terminal_);
    drawn_ = false;
}

}  // namespace ljgas
