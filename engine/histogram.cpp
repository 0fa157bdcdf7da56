#include "histogram.h"

namespace ljgas {

void resetHistogram(Record& rec)
{
    rec.nbins = PlotBins;
    const std::int16_t bins = rec.nbins;
    for (std::int16_t k = 1; k <= bins; ++k)
        rec.g[k] = 0.0f;
}

}  // namespace ljgas
