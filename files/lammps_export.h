// A state handed to LAMMPS: a data file with the discs and an input deck that
// runs the same gas, with the same potential, cut-off and thermostat.
#pragma once

#include <string>
#include "engine/parameters.h"

namespace ljgas {

struct Record;

// LAMMPS steps per ljgas step in the deck, by default. At ljgas's own dt
// velocity Verlet lets the fastest close collisions through: LAMMPS's energy
// creeps up, and a hot gas loses discs. A quarter of it keeps both; the deck
// still counts its run in ljgas's steps, so that the same N means the same time.
inline constexpr int LammpsSubSteps = 4;

// The two files a folder receives.
inline constexpr const char* LammpsDataName = "data.ljgas";
inline constexpr const char* LammpsDeckName = "in.ljgas";

// Throws a FileError that says why this gas cannot be handed to LAMMPS
// (fewer than two discs, a cut-off 8R that is not positive and finite, an e0
// or a thermostat target beyond single precision); returns when it can.
void checkLammpsExport(const Record& rec, const RunSettings& settings);

// The two files' texts, for a gas that passes the check: data.ljgas (box
// [0,1)^2, mass 1, the positions and velocities of particles 1..n) and
// in.ljgas (the commented input deck). A folder gets both or neither.
std::string lammpsDataText(const Record& rec, const RunSettings& settings);
std::string lammpsDeckText(const Record& rec, const RunSettings& settings);

}  // namespace ljgas
