// The discs' speeds at the latest temperature read-outs, as a histogram, and
// the two-dimensional Maxwell-Boltzmann distribution it is compared with.
#pragma once

#include <cstddef>
#include <vector>

namespace ljgas {

struct Record;

// P(v) = (2v/T) exp(-v^2/T): the distribution of speeds v = |(vx, vy)| of a
// two-dimensional ideal gas at mass 1 and k_B = 1, in this program's
// temperature T = <vx^2 + vy^2>, which has no factor one half. It integrates
// to 1 over v >= 0, and its mean of v^2 is T.
double maxwellBoltzmann2d(double v, double T);

// A probability density over equal bins from 0 to `top`.
struct SpeedHistogram {
    double binWidth = 0.0;
    std::vector<double> density;  // per bin: the share of speeds in it divided by binWidth
};

class SpeedSample {
public:
    // A single state of 225 discs gives a ragged histogram; the speeds of the
    // latest ten read-outs, 200 steps, pooled, give a smooth one that still
    // follows a cooling gas.
    static constexpr std::size_t ReadOuts = 10;

    // The speeds of discs 1..n, and the temperature read-out shown with them.
    void add(const Record& rec, float T);
    void clear();
    bool empty() const { return filled_ == 0; }

    // The mean of the temperature read-outs pooled: the T of the curve.
    double temperature() const;
    // Densities of the pooled speeds in `bins` bins from 0 to `top`; speeds
    // beyond `top` count in the total, so the bars' area is the share of
    // speeds up to `top`.
    SpeedHistogram histogram(int bins, double top) const;

private:
    std::vector<double> speeds_[ReadOuts];
    double temperatures_[ReadOuts] = {};
    std::size_t next_ = 0;    // the slot the next read-out goes into
    std::size_t filled_ = 0;  // slots holding a read-out
};

}  // namespace ljgas
