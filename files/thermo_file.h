// The thermo file: at every temperature read-out, the step, the temperature
// shown, and the energies, pressure and centre-of-mass velocity of the state.
#pragma once

#include <cstdint>
#include <string>

namespace ljgas {

struct Observables;

// "step,T,kinetic,potential,total,pressure,vcm_x,vcm_y\n".
std::string thermoHeader();

// One row: T in nine digits like the temperature file; the observables with
// every digit of the double (up to 17), where the energy drift of a long run
// and the comparison with LAMMPS live.
std::string thermoLine(std::int64_t step, float T, const Observables& o);

}  // namespace ljgas
