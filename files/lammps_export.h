// A state handed to LAMMPS: a data file with the discs and an input deck that
// runs the same gas, with the same potential, cut-off and thermostat.
#pragma once

#include "engine/parameters.h"
#include <string>

namespace ljgas {

struct Record;

// LAMMPS steps per ljgas step in the deck, by default: at ljgas's own dt
// velocity Verlet lets the fastest close collisions through, LAMMPS's energy
// creeps up and a hot gas loses discs. The deck counts in ljgas's steps.
inline constexpr int LammpsSubSteps = 4;

// The two files a folder receives.
inline constexpr const char* LammpsDataName = "data.ljgas";
inline constexpr const char* LammpsDeckName = "in.ljgas";

// Throws a FileError that says why this gas cannot be handed to LAMMPS.
void checkLammpsExport(const Record& rec, const RunSettings& settings);

// The two files' texts, for a gas that passes the check.
std::string lammpsDataText(const Record& rec, const RunSettings& settings);
std::string lammpsDeckText(const Record& rec, const RunSettings& settings);

}  // namespace ljgas
