#include "files/run_outputs.h"

#include <numbers>
#include <string>

#include "files/csv_number.h"
#include "engine/histogram.h"
#include "engine/record.h"
#include "engine/run_params.h"

namespace ljgas {

namespace {

// Bin width in units of R: 14R spread over the 200 plotted bins.
constexpr double BinWidthPerRadius = 0.07;

void writeLine(std::FILE* out, const std::string& line) { std::fwrite(line.data(), 1, line.size(), out); }

}  // namespace

void writeTemperatureHeader(std::FILE* out) { writeLine(out, "step,T\n"); }

void writeTemperatureLine(std::FILE* out, std::int64_t step, float T)
{
    writeLine(out, std::to_string(step) + "," + csvNumber(T) + "\n");
}

void writeDistribution(std::FILE* out, const Record& rec, std::int64_t binnedVisits)
{
    writeLine(out, "bin,r,g,g_norm\n");
    const double R = rec.R;
    const double w = BinWidthPerRadius * R;
    const double idealEntry = static_cast<double>(binnedVisits) * 2.0 * std::numbers::pi * w * w;
    const std::vector<float> shown = plottedBins(rec);
    for (int k = 1; k <= PlotBins; ++k) {
        const double r = k * BinWidthPerRadius * R;
        const auto index = static_cast<std::size_t>(k - 1);
        const double g = index < shown.size() ? shown[index] : rec.g[k];
        const double normalised = idealEntry > 0.0 ? g / idealEntry : 0.0;
        writeLine(out, std::to_string(k) + "," + csvNumber(r) + "," + csvNumber(g) + "," + csvNumber(normalised) + "\n");
    }
}

}  // namespace ljgas
