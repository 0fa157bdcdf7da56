// The trajectory: frames of the gas in one of two text formats that the
// field's tools open, and the choice between them.
//
// Extended XYZ (ASE, MDAnalysis, OVITO, VMD): the disc count, a comment line
// with the periodic cell and what the frame is, and one line per disc:
//
//   225
//   Lattice="1 0 0 0 1 0 0 0 1" Properties=species:S:1:pos:R:3:momenta:R:3 pbc="T T F" step=1000 time=1.00000005 T=0.297 R=0.01 e0=0.2
//   X 0.0341217443 0.0329876132 0 0.412076503 -0.0993467122 0
//   ...
//
// The last three columns are the momenta, with mass 1 the velocities: ASE
// takes a column named momenta as such, where one named vel would be a bare
// array.
//
// LAMMPS's text dump (MDAnalysis, OVITO, ASE), whose every frame has the box:
//
//   ITEM: TIMESTEP
//   1000
//   ITEM: NUMBER OF ATOMS
//   225
//   ITEM: BOX BOUNDS pp pp ff
//   0 1
//   0 1
//   0 1
//   ITEM: ATOMS id type element x y z vx vy vz
//   1 1 X 0.0341217443 0.0329876132 0 0.412076503 -0.0993467122 0
//   ...
//
// Neither format knows a two-dimensional cell: the unit square is the x-y
// face of a unit cube, periodic in x and y only, every z and vz 0. The discs
// are of the dummy element X (type 1 in the dump). Nine significant digits
// read back to the very float the run held.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/parameters.h"

namespace ljgas {

struct Record;

enum class TrajectoryFormat { ExtendedXyz, LammpsDump };

// The names an option gives the formats, in the enum's order.
inline constexpr std::array<const char*, 2> TrajectoryFormatNames = {"xyz", "lammpstrj"};

// The format `name` names, or without a name LAMMPS's dump for a `path`
// ending in ".lammpstrj" (any case) and extended XYZ for any other. Throws
// std::invalid_argument for a name not in TrajectoryFormatNames.
TrajectoryFormat trajectoryFormat(std::string_view path, std::string_view name = {});

// One frame of particles 1..n of the record after `step` steps. The XYZ
// comment line also names the time step * dt (dt the single-precision
// 0.001), T the temperature of this frame's velocities (the mean of
// vx^2 + vy^2 per disc, the program's temperature without its 20-step
// average), R the record's and e0 the run's; the dump has no place for them.
// A frame of the conserving dynamics names it in the XYZ comment line:
// "dynamics=conserving".
std::string trajectoryFrame(TrajectoryFormat format, const Record& rec, std::int64_t step, float e0,
                            Dynamics dynamics = Dynamics::Designed);

}  // namespace ljgas
