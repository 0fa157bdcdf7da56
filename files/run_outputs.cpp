#include "files/run_outputs.h"

#include <numbers>
#include <vector>

#include "engine/histogram.h"
#include "engine/record.h"
#include "runtime/number_to_text.h"

namespace ljgas {

namespace {

// Bin width in units of R: 14R spread over the 200 plotted bins.
constexpr double BinWidthPerRadius = 0.07;

}  // namespace

std::string temperatureHeader() { return "step,T\n"; }

std::string temperatureLine(std::int64_t step, float T) { return std::to_string(step) + "," + csvNumber(T) + "\n"; }

DistributionColumns distributionColumns(const Record& rec, std::int64_t binnedVisits, const HistogramMark& from)
{
    DistributionColumns columns;
    const double R = rec.R;
    const double w = BinWidthPerRadius * R;
    const auto visits = static_cast<double>(binnedVisits - from.binnedVisits);
    const double idealEntry = visits * 2.0 * std::numbers::pi * w * w;
    const std::vector<float> shown = plottedBins(rec);
    for (int k = 1; k <= PlotBins; ++k) {
        const auto index = static_cast<std::size_t>(k - 1);
        const double g = index < shown.size() ? shown[index] : rec.g[k];
        // Two floats' difference is exact in double; from a zero mark it is g.
        const double gained = g - static_cast<double>(from.g[static_cast<std::size_t>(k)]);
        columns.r[index] = k * BinWidthPerRadius * R;
        columns.g[index] = g;
        columns.gNorm[index] = idealEntry > 0.0 ? gained / idealEntry : 0.0;
    }
    return columns;
}

std::string distributionText(const Record& rec, std::int64_t binnedVisits, const HistogramMark& from)
{
    const DistributionColumns columns = distributionColumns(rec, binnedVisits, from);
    std::string text = "bin,r,g,g_norm\n";
    for (std::size_t m = 0; m < columns.r.size(); ++m)
        text += std::to_string(m + 1) + "," + csvNumber(columns.r[m]) + "," + csvNumber(columns.g[m]) + "," +
                csvNumber(columns.gNorm[m]) + "\n";
    return text;
}

}  // namespace ljgas
