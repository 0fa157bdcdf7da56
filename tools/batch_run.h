// One batch session: what the window does at start-up and for one run,
// with the command line's texts in the boxes and files instead of a window.
#pragma once

#include "batch_options.h"

namespace ljgas {

// Exit statuses of ljgas-batch.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;      // an output could not be finished
inline constexpr int ExitUsage = 2;        // bad command line or input file
inline constexpr int ExitEngineError = 3;  // the engine ended the start or the run

// Reads the inputs, opens every output, runs the lattice start and the run,
// writes the outputs and reports on stdout and stderr. Returns the exit status.
int runBatch(const BatchOptions& options);

}  // namespace ljgas
