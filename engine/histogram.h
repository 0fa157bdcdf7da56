// The radial distribution histogram g(r): every pair distance a slice refresh
// computes is binned, and after the warm-up weighted by 1/k.
#pragma once

#include <cmath>
#include <cstdint>

#include "checked.h"
#include "record.h"
#include "run_params.h"

namespace ljgas {

// nbins := 200, then g(1..200) := 0. Bin 0 and bins above 200 keep theirs.
void resetHistogram(Record& rec);

// The bin of a pair at squared distance r2: r / (14R / nbins) rounded half to
// even, in exactly the order ((r / R) / 14) * nbins. Bin k is centred on
// k * 0.07R for 200 bins. Fails (Overflow) outside the 16-bit range.
inline std::int16_t binIndex(float r2, float R, std::int16_t nbins)
{
    const double r = std::sqrt(static_cast<double>(r2));
    return toInt16(divide(r, R) / 14.0 * nbins);
}

// Bin one pair. The bin is formed on every call, warm-up included; only when
// step > 200 does the pair add 1/k: a ring of radius k*w has an area
// proportional to k, so the weight turns pair counts into g(r). Returns
// whether the pair was added.
inline bool binPair(Record& rec, float r2, float step)
{
    const std::int16_t k = binIndex(r2, rec.R, rec.nbins);
    if (!(step > static_cast<float>(WarmUpSteps)))
        return false;
    HistogramArray::check(k);
    const double weight = divide(1.0, k);
    rec.g[k] = toSingle(static_cast<double>(rec.g[k]) + weight);
    return true;
}

}  // namespace ljgas
