#include "ui/panel/pair_distribution.h"

#include "files/run_outputs.h"

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
    const DistributionColumns columns = distributionColumns(rec, visits);
    return {columns.gNorm.begin(), columns.gNorm.end()};
}

}  // namespace ljgas
