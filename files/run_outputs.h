// The run's CSV outputs besides the state: the temperature read-outs and
// the g(r) histogram with its normalisation.
#pragma once

#include <cstdint>
#include <string>

namespace ljgas {

struct Record;

// "step,T\n", then one line per temperature shown.
std::string temperatureHeader();
std::string temperatureLine(std::int64_t step, float T);

// "bin,r,g,g_norm" and bins 1..200. Bin k is centred on r = k * 0.07R. Its
// entry g(k) sums 1/k over the visits that fell into it; for an ideal gas the
// expected entry is visits * 2 pi w^2 (ring area 2 pi k w^2 in the unit box,
// times the weight 1/k), w = 0.07R the bin width. g_norm divides by that, so
// it tends to 1 at distances where the gas is uncorrelated. It is 0 before
// any visit has been binned.
std::string distributionText(const Record& rec, std::int64_t binnedVisits);

}  // namespace ljgas
