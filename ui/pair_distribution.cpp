#include "pair_distribution.h"

#include <numbers>

#include "engine/histogram.h"
#include "engine/record.h"

namespace ljgas {

namespace {

// The plotted bins spread 14R over 200 bins: 0.07R each.
constexpr double BinWidthPerRadius = 0.07;

}  // namespace

double binDistanceInDiameters(int k)
{
    return k * BinWidthPerRadius / 2.0;
}

std::vector<double> normalisedDistribution(const Record& rec, std::int64_t visits)
{
    std::vector<double> g(PlotBins, 0.0);
    const double w = BinWidthPerRadius * static_cast<double>(rec.R);
    const double idealEntry = static_cast<double>(visits) * 2.0 * std::numbers::pi * w * w;
    if (!(idealEntry > 0.0))
        return g;
    const std::vector<float> shown = plottedBins(rec);
    for (std::size_t k = 0; k < g.size() && k < shown.size(); ++k)
        g[k] = static_cast<double>(shown[k]) / idealEntry;
    return g;
}

}  // namespace ljgas
