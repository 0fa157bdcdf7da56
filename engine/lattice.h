// Lattice start: 225 particles on a 15 x 15 square lattice with random,
// mean-free velocities; what the Initialize button does.
#pragma once

namespace ljgas {

struct Record;
struct Host;
class RandomSequence;

// n := 225, R from the R box, lattice positions, random velocities with their
// mean removed, then a full redraw of the particle view. An R too large for
// single precision ends the call with an overflow before any particle moves.
void initializeLattice(Record& rec, Host& host, RandomSequence& random);

// The same without a window, with R given: n, R, positions and velocities.
void initializeLattice(Record& rec, float R, RandomSequence& random);

}  // namespace ljgas
