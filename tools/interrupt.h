// Ctrl-C and termination requests during a batch run: caught, so that the
// run stops as if Stop were pressed and the outputs are still written.
#pragma once

namespace ljgas {

// Installs the handlers for SIGINT and SIGTERM and unblocks both signals.
void catchInterrupts();

// The signal caught so far (SIGINT or SIGTERM), 0 when none.
int caughtInterrupt();

}  // namespace ljgas
