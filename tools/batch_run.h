// One batch session: the window's start-up and one run, with files instead
// of a window.
#pragma once

#include "batch_options.h"

namespace ljgas {

// Exit statuses of ljgas-batch.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;      // an output could not be finished
inline constexpr int ExitUsage = 2;        // bad command line or input file
inline constexpr int ExitEngineError = 3;  // the engine ended the start or the run

// Reads the inputs, runs, writes the outputs and reports; returns the exit
// status.
int runBatch(const BatchOptions& options);

}  // namespace ljgas
