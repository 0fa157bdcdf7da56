// Event pumping: let the window handle everything that is pending, then go on.
#pragma once

#include <cstdint>

namespace ljgas {

// Processes all pending window events, their handlers (even one that starts
// a nested run) running to completion inside this call; never waits.
void doEvents();

// Waits up to `nanoseconds` for window events and handles the first batch
// that comes. A wait below a millisecond, finer than the timers, sleeps and
// then handles what is pending.
void waitForEvents(std::int64_t nanoseconds);

}  // namespace ljgas
