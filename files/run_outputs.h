// The run's CSV outputs besides the state: the temperature read-outs and
// the g(r) histogram with its normalisation.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/run_params.h"

namespace ljgas {

struct Record;

// "step,T\n", then one line per temperature shown.
std::string temperatureHeader();
std::string temperatureLine(std::int64_t step, float T);

// The plotted bins and the visits binned, as they stood at some step.
struct HistogramMark {
    std::array<float, PlotBins + 1> g{};  // g[1..200]; g[0] unused, as in the record
    std::int64_t binnedVisits = 0;
};

// g(r) of bins 1..200 (element k-1 is bin k), bin k centred on r = k * 0.07R:
// g(k) sums 1/k over the visits after the warm-up, the curve the window
// plots. An ideal gas's entry is visits * 2 pi w^2 (ring area 2 pi k w^2,
// times the weight 1/k), w = 0.07R; g_norm divides what the bin gained after
// `from` by that for the visits after `from`, so it tends to 1 where the gas
// is uncorrelated (0 while none). The default mark counts the whole run.
struct DistributionColumns {
    std::array<double, PlotBins> r{};  // box lengths
    std::array<double, PlotBins> g{};
    std::array<double, PlotBins> gNorm{};
};
DistributionColumns distributionColumns(const Record& rec, std::int64_t binnedVisits, const HistogramMark& from = {});

// Bin k (1..200) lies at r = k * 0.07R, that is at r/sigma = k * 0.035.
inline double binDistanceInDiameters(int k) { return k * 0.07 / 2.0; }

// "bin,r,g,g_norm" and those columns for bins 1..200.
std::string distributionText(const Record& rec, std::int64_t binnedVisits, const HistogramMark& from = {});

}  // namespace ljgas
