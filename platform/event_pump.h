// Event pumping: let the window handle everything that is pending, then go on.
#pragma once

namespace ljgas {

// Processes all pending window events; their handlers (a button's click,
// even one that starts a nested run) run to completion inside this call.
// Returns at once when nothing is pending: it never waits for an event.
void doEvents();

}  // namespace ljgas
