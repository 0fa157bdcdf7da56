#include "histogram.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "pair_kernels.h"

namespace ljgas {

namespace {

int plottedCount(const Record& rec) { return std::clamp<int>(rec.nbins, 0, PlottedVisits::last); }

// Below this many weights every addition moves a bin (see histogram.h).
constexpr double CountableWeights = 4194304.0;  // 2^22

float plus(float v, double weight) { return static_cast<float>(static_cast<double>(v) + weight); }

struct Sums {
    std::array<double, PlottedVisits::last + 1> visits{};
    std::array<double, PlottedVisits::last + 1> sum{};
    bool behind = false;  // some bin disagrees, or nears the end of counting
};

// The visits of every plotted bin up to its value now, and their sums.
Sums caughtUp(const Record& rec)
{
    Sums s;
    const int bins = plottedCount(rec);
    for (int k = 1; k <= bins; ++k) {
        const auto index = static_cast<std::size_t>(k);
        const double added = additionsBetween(rec.gCounted[k], rec.g[k], binWeight[index]);
        // A bin a run's additions could not have made (one written directly)
        // has no count to follow: it is taken at its word.
        s.visits[index] = added >= 0.0 ? rec.gVisits[k] + added : rec.g[k] / binWeight[index];
        s.sum[index] = added >= 0.0 ? s.visits[index] * binWeight[index] : rec.g[k];
        s.behind |= s.visits[index] > CountableWeights;
    }
    s.behind |= !kernels::kernels().binsAgree(rec.g.data() + 1, s.sum.data() + 1, bins, SingleBinTolerance);
    return s;
}

}  // namespace

double additionsBetween(float from, float to, double weight)
{
    double additions = 0.0;
    float v = from;
    while (v < to) {
        if (v > 0.0f) {
            // Within [2^(e-1), 2^e) the units are all one size, and each
            // addition moves v by the same whole number of them, up to the
            // one that reaches 2^e or beyond (no weight 1/k lies halfway
            // between two such moves).
            // 2^e: the exponent bits of v, one higher, and no fraction.
            std::uint32_t bits = 0;
            std::memcpy(&bits, &v, sizeof bits);
            bits = (bits & 0x7f800000u) + 0x00800000u;
            float power = 0.0f;
            std::memcpy(&power, &bits, sizeof power);
            const double top = power;
            const double move = static_cast<double>(plus(v, weight)) - v;
            if (!(move > 0.0))
                return -1.0;
            const double gap = (std::min<double>(to, top) - v) / move;
            // The additions that land strictly below 2^e, and below `to`.
            double within = to < top ? std::floor(gap) : std::ceil(gap) - 1.0;
            within = std::max(within, 0.0);
            v = static_cast<float>(v + within * move);
            additions += within;
            if (!(v < to))
                break;
        }
        const float next = plus(v, weight);
        if (!(next > v))
            return -1.0;
        v = next;
        additions += 1.0;
    }
    return v == to ? additions : -1.0;
}

void resetHistogram(Record& rec)
{
    rec.nbins = PlotBins;
    const std::int16_t bins = rec.nbins;
    for (std::int16_t k = 1; k <= bins; ++k) {
        rec.g[k] = 0.0f;
        rec.gVisits[k] = 0.0;
        rec.gCounted[k] = 0.0f;
    }
    rec.gShowsSums = false;
}

void keepPlottedBinsTrue(Record& rec)
{
    const Sums s = caughtUp(rec);
    const int bins = plottedCount(rec);
    for (int k = 1; k <= bins; ++k) {
        rec.gVisits[k] = s.visits[static_cast<std::size_t>(k)];
        rec.gCounted[k] = rec.g[k];
    }
    if (!rec.gShowsSums && !s.behind)
        return;
    rec.gShowsSums = true;
    // The bins start afresh, holding only what comes after this check.
    for (int k = 1; k <= bins; ++k)
        rec.g[k] = rec.gCounted[k] = 0.0f;
}

std::vector<float> plottedBins(const Record& rec)
{
    const int bins = plottedCount(rec);
    const Sums s = caughtUp(rec);
    const bool fromSums = rec.gShowsSums || s.behind;
    std::vector<float> shown(static_cast<std::size_t>(bins));
    for (int k = 1; k <= bins; ++k)
        shown[static_cast<std::size_t>(k - 1)] = fromSums ? static_cast<float>(s.sum[static_cast<std::size_t>(k)])
                                                          : rec.g[k];
    return shown;
}

}  // namespace ljgas
