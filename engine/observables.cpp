#include "observables.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "cell_list.h"
#include "record.h"

namespace ljgas {

namespace {

// More cells than this per side buy nothing for a thousand particles.
constexpr int MaxCellsPerSide = 32;

// Positions of particles 1..n in double, each taken into [0, 1] so that the
// difference of two lies in [-1, 1] and one comparison per side gives the
// minimum image. Index 0 is unused, as in the record.
struct Positions {
    std::vector<double> x;
    std::vector<double> y;
    bool finite = true;
};

Positions wrappedPositions(const Record& rec, int n)
{
    Positions p;
    p.x.resize(n + 1);
    p.y.resize(n + 1);
    for (int k = 1; k <= n; ++k) {
        const double x = rec.x[k];
        const double y = rec.y[k];
        if (!std::isfinite(x) || !std::isfinite(y))
            p.finite = false;
        p.x[k] = p.finite ? x - std::floor(x) : 0.0;
        p.y[k] = p.finite ? y - std::floor(y) : 0.0;
    }
    return p;
}

// The sums over pairs closer than the cut-off, in units that leave the
// constants to the end: with s = (sigma/r)^6, the pair energy is
// 4 e0 (s^2 - s) and its virial r.F = -r dV/dr = 24 e0 (2 s^2 - s).
struct PairSums {
    double energy = 0.0;  // sum of s^2 - s
    double virial = 0.0;  // sum of 2 s^2 - s
    double rc2 = 0.0;
    double sig6 = 0.0;

    void add(const Positions& p, int i, int j)
    {
        double dx = p.x[i] - p.x[j];
        double dy = p.y[i] - p.y[j];
        dx = dx >= 0.5 ? dx - 1.0 : (dx < -0.5 ? dx + 1.0 : dx);
        dy = dy >= 0.5 ? dy - 1.0 : (dy < -0.5 ? dy + 1.0 : dy);
        const double r2 = dx * dx + dy * dy;
        if (!(r2 < rc2))
            return;
        const double s = sig6 / (r2 * r2 * r2);
        energy += s * s - s;
        virial += 2.0 * s * s - s;
    }
};

void addAllPairs(PairSums& sums, const Positions& p, int n)
{
    for (int i = 2; i <= n; ++i)
        for (int j = 1; j < i; ++j)
            sums.add(p, i, j);
}

// The same pairs found through square cells at least as wide as the
// cut-off (cell_list.h): about a fifteenth of the work of the all-pairs loop
// for the default gas.
void addPairsByCells(PairSums& sums, const Positions& p, int n, int m)
{
    CellList cells;
    cells.reset(m, n + 1);
    for (int k = n; k >= 1; --k)
        cells.insert(k, cells.cellOf(p.x[k]), cells.cellOf(p.y[k]));
    cells.forEachNearPair([&](int i, int j) { sums.add(p, i, j); });
}

// The most cells per side that are still at least as wide as the cut-off,
// with a margin for the rounding of a coordinate times the count.
int cellsPerSide(double rc2)
{
    int m = MaxCellsPerSide;
    while (m > 0 && rc2 * m * m * (1.0 + 1e-9) > 1.0)
        --m;
    return m;
}

}  // namespace

Observables measureObservables(const Record& rec, double e0, double R)
{
    Observables o;
    const int n = rec.n;
    if (n <= 0)
        return o;
    ParticleArray::check(n);

    double v2 = 0.0;
    double px = 0.0;
    double py = 0.0;
    for (int k = 1; k <= n; ++k) {
        const double vx = rec.vx[k];
        const double vy = rec.vy[k];
        v2 += vx * vx + vy * vy;
        px += vx;
        py += vy;
    }
    o.kinetic = 0.5 * v2;
    o.vcmX = px / n;
    o.vcmY = py / n;

    // The run's cut-off and sigma, from the same single-precision R but
    // without its roundings: (8R)^2 and (2R)^6.
    PairSums sums;
    sums.rc2 = 64.0 * R * R;
    const double sigma2 = 4.0 * R * R;
    sums.sig6 = sigma2 * sigma2 * sigma2;

    const Positions p = wrappedPositions(rec, n);
    if (!p.finite) {
        o.potential = o.pressure = o.total = std::numeric_limits<double>::quiet_NaN();
        return o;
    }
    if (const int m = cellsPerSide(sums.rc2); m >= 3)
        addPairsByCells(sums, p, n, m);
    else
        addAllPairs(sums, p, n);

    o.potential = 4.0 * e0 * sums.energy;
    o.total = o.kinetic + o.potential;
    // Virial theorem in d = 2 dimensions with area A = 1:
    //   P A = (1/d) (sum of m v^2 + sum over pairs of r.F) = kinetic + W/2,
    // W = 24 e0 * sums.virial. This is LAMMPS's compute pressure, which
    // reports (dof * T_LAMMPS + W) / (d A): its dof * T_LAMMPS is the full
    // sum of m v^2 whatever degrees of freedom it counts, so its press equals
    // this pressure (lj units, box area 1).
    o.pressure = o.kinetic + 12.0 * e0 * sums.virial;
    return o;
}

}  // namespace ljgas
