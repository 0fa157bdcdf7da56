#include "histogram.h"

#include <algorithm>

#include "pair_kernels.h"

namespace ljgas {

void resetHistogram(Record& rec)
{
    rec.nbins = PlotBins;
    const std::int16_t bins = rec.nbins;
    for (std::int16_t k = 1; k <= bins; ++k) {
        rec.g[k] = 0.0f;
        rec.gSum[k] = 0.0;
    }
    rec.gShowsSums = false;
}

namespace {

int plottedCount(const Record& rec) { return std::clamp<int>(rec.nbins, 0, HistogramArray::last); }

bool showsSums(const Record& rec)
{
    return rec.gShowsSums ||
           !kernels::kernels().binsAgree(rec.g.data() + 1, rec.gSum.data() + 1, plottedCount(rec), SingleBinTolerance);
}

}  // namespace

void keepPlottedBinsTrue(Record& rec)
{
    if (!showsSums(rec))
        return;
    rec.gShowsSums = true;
    const int bins = plottedCount(rec);
    for (int k = 1; k <= bins; ++k)
        rec.g[k] = static_cast<float>(rec.gSum[k]);
}

std::vector<float> plottedBins(const Record& rec)
{
    const int bins = plottedCount(rec);
    const bool sums = showsSums(rec);
    std::vector<float> shown(static_cast<std::size_t>(bins));
    for (int k = 1; k <= bins; ++k)
        shown[static_cast<std::size_t>(k - 1)] = sums ? static_cast<float>(rec.gSum[k]) : rec.g[k];
    return shown;
}

}  // namespace ljgas
