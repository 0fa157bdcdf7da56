// The run loop: what the Go button does. Prepares a run, then steps until the
// stop flag is found set after a step's event processing.
#pragma once

#include <cstdint>

namespace ljgas {

struct Record;
class Host;

// Progress of one run, for drivers that report on it. The run writes it as
// it goes, so it is valid also after an EngineError ended the run.
struct RunStats {
    float step = 0.0f;                // steps started so far (the run's step counter)
    std::int64_t binnedVisits = 0;    // pair visits added to the histogram
};

// Runs until PauseMark is found non-zero after a step's yield. Throws
// EngineError when a check fails; the record keeps the values it had then,
// and the run's own tables are released.
void runSimulation(Record& rec, Host& host, RunStats* stats = nullptr);

}  // namespace ljgas
