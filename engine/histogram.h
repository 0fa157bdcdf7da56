// The radial distribution histogram g(r): every pair distance a slice refresh
// computes is binned, and after the warm-up weighted by 1/k.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "checked.h"
#include "record.h"
#include "run_params.h"

namespace ljgas {

// nbins := 200, then g(1..200) := 0 with their double sums; other bins keep
// theirs.
void resetHistogram(Record& rec);

// Why double sums as well: a bin adds 1/k in single precision at every
// visit, and once it holds some 10^4 weights each addition loses a visible
// part of its weight (past 2^24 all of it); the far bins, with dozens of
// visits a step, are 1 % off after 10^6 steps and 9 % after 2 x 10^7. So
// each plotted bin has its sum kept in double too. While every plotted bin
// agrees with its sum to 1e-3 (less than a plot or the statistics can show)
// the bins are read as they are, so a run is the same to the bit as long as
// single precision holds; from the first check at which one does not, the
// plotted bins are read from their sums, rounded to single, for the rest of
// the run. A run checks every fifth cycle, at the plot's slice; readers in
// between go through plottedBins(), which makes the same choice.
//
// The sums cost the additions nothing. Every weight of bin k is 1/k, so the
// single bin runs through one fixed sequence fl(g + 1/k), fl(fl(g + 1/k) +
// 1/k), ..., rising while it holds fewer than 2^22 weights. Within one power
// of two every addition moves it by the same number of units, so at a check
// the visits since the last are a division, binade by binade, and the sum is
// the count times 1/k. Once the sums are read (or a bin nears 2^22 weights)
// the plotted bins start afresh from 0 at every check, so that the count
// never meets a rounding that hides a visit; only plottedBins() reads them
// right from then on.
inline constexpr double SingleBinTolerance = 1e-3;
inline constexpr int CyclesPerHistogramCheck = 5;

// At a check: the counts catch up, and the bins switch to their sums for
// good once one has fallen behind.
void keepPlottedBinsTrue(Record& rec);

// How many additions of `weight`, each rounded to single, take a bin from
// `from` to `to`: -1 when `to` is not on that sequence or lies past a stall.
double additionsBetween(float from, float to, double weight);

// g(1..nbins) as they are to be read, at any moment, without changing the
// record. Element k-1 is bin k.
std::vector<float> plottedBins(const Record& rec);

// The bin of a pair at squared distance r2: r / (14R / nbins) rounded half to
// even, in exactly the order ((r / R) / 14) * nbins. Bin k is centred on
// k * 0.07R for 200 bins. Fails (Overflow) outside the 16-bit range.
inline std::int16_t binIndex(float r2, float R, std::int16_t nbins)
{
    const double r = std::sqrt(static_cast<double>(r2));
    return toInt16(divide(r, R) / 14.0 * nbins);
}

// 1/k for every bin k = 1..20000, divided when the program is built (the
// compiler's division rounds as the processor's). A pair in bin 0 is a
// division by zero.
inline constexpr auto binWeight = [] {
    std::array<double, HistogramArray::last + 1> w{};
    for (int k = 1; k <= HistogramArray::last; ++k)
        w[static_cast<std::size_t>(k)] = 1.0 / k;
    return w;
}();

// Add the weight 1/k of one pair to bin k.
inline void addToBin(Record& rec, std::int16_t k)
{
    HistogramArray::check(k);
    if (k == 0) [[unlikely]]
        fail(ErrorKind::DivisionByZero);
    float& g = rec.g.data()[k];
    g = toSingle(static_cast<double>(g) + binWeight[static_cast<std::size_t>(k)]);
}

// The weights of a batched refresh, their bins checked, waiting to be added
// in pair order. A weight is at most 1, and the largest single plus 1 rounds
// back to it, so these additions cannot fail: a run may make them a little
// later, interleaved with other work, as long as all are made before anything
// reads the histogram and before an error ends the step.
struct PendingWeights {
    const std::int32_t* bins = nullptr;
    std::int32_t count = 0;
    std::int32_t added = 0;

    // Add the weights up to, not including, entry `end` (at most count).
    void addUpTo(Record& rec, std::int32_t end)
    {
        float* g = rec.g.data();
        for (; added < end; ++added) {
            const auto k = static_cast<std::size_t>(bins[added]);
            g[k] = static_cast<float>(static_cast<double>(g[k]) + binWeight[k]);
        }
    }
    void addAll(Record& rec) { addUpTo(rec, count); }
};

// Adds whatever is still pending when it goes out of scope, also when an
// error ends the step, so the histogram never misses a binned pair.
class AddPendingWeightsOnExit {
public:
    AddPendingWeightsOnExit(PendingWeights& weights, Record& rec) : weights_(weights), rec_(rec) {}
    ~AddPendingWeightsOnExit() { weights_.addAll(rec_); }
    AddPendingWeightsOnExit(const AddPendingWeightsOnExit&) = delete;
    AddPendingWeightsOnExit& operator=(const AddPendingWeightsOnExit&) = delete;

private:
    PendingWeights& weights_;
    Record& rec_;
};

// Bin one pair: the bin is formed on every call, warm-up included; only when
// step > 200 does the pair add 1/k (a ring of radius k*w has an area
// proportional to k, so the weight turns pair counts into g(r)). Returns
// whether it was added.
inline bool binPair(Record& rec, float r2, float step)
{
    const std::int16_t k = binIndex(r2, rec.R, rec.nbins);
    if (!(step > static_cast<float>(WarmUpSteps)))
        return false;
    addToBin(rec, k);
    return true;
}

}  // namespace ljgas
