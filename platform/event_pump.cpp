#include "event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace ljgas {

namespace {

#if defined(__x86_64__) || defined(__i386__)
// The toolkit's code can return with the upper halves of the vector
// registers marked in use, and on some processors every SSE instruction of
// the simulation then merges with that state, three times slower. One
// VZEROUPPER after each round of events puts the registers back clean.
__attribute__((target("avx"))) void clearUpperVectorState() { _mm256_zeroupper(); }

const bool haveAvx = __builtin_cpu_supports("avx");
#endif

void afterEvents()
{
#if defined(__x86_64__) || defined(__i386__)
    if (haveAvx)
        clearUpperVectorState();
#endif
}

}  // namespace

void doEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    afterEvents();
}

void waitForEvents(std::int64_t nanoseconds)
{
    if (nanoseconds <= 0)
        return;
    constexpr std::int64_t millisecond = 1'000'000;
    if (nanoseconds < millisecond) {
        std::this_thread::sleep_for(std::chrono::nanoseconds(nanoseconds));
        doEvents();
        return;
    }
    // The timer only wakes the wait up; its own event does nothing.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(static_cast<int>(std::min<std::int64_t>(nanoseconds / millisecond, 1000)));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    afterEvents();
}

}  // namespace ljgas
