#include "canonical_thermostat.h"

#include <algorithm>
#include <cmath>

#include "checked.h"

namespace ljgas {

CanonicalThermostat::CanonicalThermostat(RandomVariates& variates, double decay) : variates_(variates), decay_(decay) {}

double CanonicalThermostat::factor(double K, double Kt, int degreesOfFreedom)
{
    const int dof = std::max(degreesOfFreedom, 1);
    if (!(Kt >= 0.0)) [[unlikely]]
        fail(ErrorKind::Overflow);
    const double c = decay_;
    // x^2 = (1 - c) Kt / (Nf K): then alpha^2 = (sqrt(c) + x R1)^2 + x^2 S.
    const double x = std::sqrt((1.0 - c) * divide(Kt, dof * K));
    const double r1 = variates_.normal();
    // The gamma method wants a shape of at least 1: two further normals or more.
    const int further = dof - 1;
    double s = 0.0;
    if (further >= 2) {
        s = 2.0 * variates_.gamma(0.5 * further);
    } else if (further == 1) {
        const double r = variates_.normal();
        s = r * r;
    }
    const double lead = std::sqrt(c) + x * r1;
    const double alpha = std::sqrt(lead * lead + (x * x) * s);
    return lead < 0.0 ? -alpha : alpha;
}

}  // namespace ljgas
