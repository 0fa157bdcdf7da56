// The trajectory: frames of the gas in extended XYZ, the text format that
// ASE, MDAnalysis, OVITO and VMD open. A frame is the disc count, a comment
// line with the periodic box and what the frame is, and one line per disc:
//
//   225
//   Lattice="1 0 0 0 1 0 0 0 1" Properties=species:S:1:pos:R:3:vel:R:3 pbc="T T F" step=1000 time=1.00000005 T=0.297 R=0.01 e0=0.2
//   X 0.0341217443 0.0329876132 0 0.412076503 -0.0993467122 0
//   ...
//
// The format knows only three-dimensional cells: the unit square is the
// cell's x-y face, periodic in x and y, with a unit z extent that is not
// periodic and every z (and vz) 0. The discs are species X, the dummy
// element, of mass 1 in ASE as in this program. Positions and velocities
// carry nine significant digits, so each reads back to the very float the
// run held; a reader of only "name x y z" (MDAnalysis) takes the first four
// columns.
#pragma once

#include <cstdint>
#include <string>

namespace ljgas {

struct Record;

// One frame of particles 1..n of the record after `step` steps: time is
// step * dt (dt the single-precision 0.001), T the temperature of this
// frame's velocities (the mean of vx^2 + vy^2 per disc, the program's
// temperature without its 20-step average), R the record's and e0 the run's.
std::string trajectoryFrame(const Record& rec, std::int64_t step, float e0);

}  // namespace ljgas
