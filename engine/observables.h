// Energies, pressure and centre-of-mass velocity of a state, in double
// precision: what a researcher compares with another MD code. Read-only.
#pragma once

namespace ljgas {

struct Record;

// Units as everywhere in the program: box lengths, mass 1, k_B = 1, and the
// box area 1.
struct Observables {
    double kinetic = 0.0;    // (1/2) sum of vx^2 + vy^2 over particles 1..n
    double potential = 0.0;  // unshifted Lennard-Jones energy of every pair closer than 8R
    double total = 0.0;      // kinetic + potential
    double pressure = 0.0;   // 2-d virial pressure: kinetic + (1/2) sum over those pairs of r.F
    double vcmX = 0.0;       // centre-of-mass velocity (mean of vx)
    double vcmY = 0.0;
};

// The observables of particles 1..n with well depth e0 and sigma = 2R (the
// single-precision e0 and R a run holds, widened). Every pair whose
// minimum-image distance is below 8R counts, whatever a run's neighbour list
// holds; the potential is not shifted at the cut-off. Positions are first
// taken into the box; a non-finite one gives NaN energies and pressure. The
// record is not changed, so a run's bits are the same whether or not this is
// called. An empty record gives all zeros.
Observables measureObservables(const Record& rec, double e0, double R);

}  // namespace ljgas
