// Event pumping: let the window handle everything that is pending, then go on.
#pragma once

#include <cstdint>

namespace ljgas {

// Processes all pending window events; their handlers (a button's click,
// even one that starts a nested run) run to completion inside this call.
// Returns at once when nothing is pending: it never waits for an event.
void doEvents();

// Waits up to `nanoseconds` for window events and handles those that come,
// returning after the first batch of them or when the time is up, whichever
// is first. A wait of less than a millisecond, below what the window
// system's timers can do, sleeps instead and then handles what is pending.
void waitForEvents(std::int64_t nanoseconds);

}  // namespace ljgas
