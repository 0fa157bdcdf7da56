#include "ui/panel/speed_distribution.h"

#include <cmath>

#include "engine/record.h"

namespace ljgas {

double maxwellBoltzmann2d(double v, double T)
{
    if (!(T > 0.0) || v < 0.0)
        return 0.0;
    return 2.0 * v / T * std::exp(-v * v / T);
}

void SpeedSample::add(const Record& rec, float T)
{
    std::vector<double>& speeds = speeds_[next_];
    speeds.clear();
    for (int k = 1; k <= rec.n && k <= ParticleArray::last; ++k) {
        const double vx = rec.vx[k];
        const double vy = rec.vy[k];
        speeds.push_back(std::sqrt(vx * vx + vy * vy));
    }
    temperatures_[next_] = T;
    next_ = (next_ + 1) % ReadOuts;
    if (filled_ < ReadOuts)
        ++filled_;
}

void SpeedSample::clear()
{
    next_ = 0;
    filled_ = 0;
}

double SpeedSample::temperature() const
{
    if (filled_ == 0)
        return 0.0;
    double sum = 0.0;
    for (std::size_t m = 0; m < filled_; ++m)
        sum += temperatures_[m];
    return sum / static_cast<double>(filled_);
}

SpeedHistogram SpeedSample::histogram(int bins, double top) const
{
    SpeedHistogram h;
    if (bins < 1 || !(top > 0.0))
        return h;
    h.binWidth = top / bins;
    h.density.assign(static_cast<std::size_t>(bins), 0.0);
    std::size_t total = 0;
    for (std::size_t m = 0; m < filled_; ++m) {
        for (const double v : speeds_[m]) {
            ++total;
            const double bin = std::floor(v / h.binWidth);
            if (bin >= 0.0 && bin < bins)
                h.density[static_cast<std::size_t>(bin)] += 1.0;
        }
    }
    if (total > 0) {
        for (double& d : h.density)
            d /= static_cast<double>(total) * h.binWidth;
    }
    return h;
}

}  // namespace ljgas
