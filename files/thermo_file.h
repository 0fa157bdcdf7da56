// The thermo file: at every temperature read-out, the step, the temperature
// shown, and the energies, pressure and centre-of-mass velocity of the state.
#pragma once

#include <cstdint>
#include <string>

namespace ljgas {

struct Observables;

// "step,T,kinetic,potential,total,pressure,vcm_x,vcm_y\n".
std::string thermoHeader();

// One row. T is the single-precision read-out as shown, written like the
// temperature file (nine digits: the same float reads back). The observables
// are doubles and keep every digit of them (up to 17): the energy drift of a
// long run and the comparison with LAMMPS live in digits that single
// precision does not have.
std::string thermoLine(std::int64_t step, float T, const Observables& o);

}  // namespace ljgas
