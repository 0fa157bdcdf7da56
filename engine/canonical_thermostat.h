// The canonical thermostat: stochastic velocity rescaling, which leaves the
// gas's kinetic energy with the spread of the canonical ensemble.
#pragma once

#include "runtime/random_variates.h"

namespace ljgas {

// Bussi, Donadio and Parrinello, J. Chem. Phys. 126, 014101 (2007). The weak
// rescaling pulls the kinetic energy K straight towards its target and so
// holds it narrower than a gas in contact with a heat bath holds it. This
// one moves K as the Langevin equation
//   dK = (Kt - K) dt / tau + 2 sqrt(K Kt / Nf) dW / sqrt(tau)
// would over the time between two applications, drawn exactly: K is then
// distributed as in the canonical ensemble, a gamma distribution of shape
// Nf / 2 and mean Kt, whose relative spread is sqrt(2 / Nf) (1/sqrt(N - 1)
// for N discs whose total momentum is held at zero, Nf = 2N - 2). Every
// velocity is multiplied by the same alpha, so the momentum stays at zero.
class CanonicalThermostat {
public:
    // With decay = exp(-t / tau) for the time t between two applications.
    // The draws come from `variates`, which outlives the thermostat.
    CanonicalThermostat(RandomVariates& variates, double decay);

    // The factor alpha for every velocity of a gas of Nf degrees of freedom
    // (at least 1), taking K (above 0) to a draw of K alpha^2 around the
    // target Kt (not negative):
    //   alpha^2 = c + (1 - c) (Kt / (Nf K)) (R1^2 + S) + 2 R1 sqrt(c (1 - c) Kt / (Nf K)),
    // c the decay, R1 a standard normal and S = sum of the squares of Nf - 1
    // further normals, a chi-square variate (drawn as 2 gamma((Nf - 1) / 2)).
    // alpha takes the sign of sqrt(c) + R1 sqrt((1 - c) Kt / (Nf K)), negative
    // only when R1 falls some 60 standard deviations low for 225 discs.
    // Fails when K is 0 (DivisionByZero; Overflow for 0/0) and (Overflow)
    // when Kt is negative.
    double factor(double K, double Kt, int degreesOfFreedom);

private:
    RandomVariates& variates_;
    double decay_;
};

}  // namespace ljgas
