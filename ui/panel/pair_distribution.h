// g(r) as a curve with axes: the histogram the black panel plots, divided
// by what an ideal gas would put into each bin.
#pragma once

#include <cstdint>
#include <vector>

namespace ljgas {

struct Record;

// Bin k (1..200) lies at r = k * 0.07R, that is at r/sigma = k * 0.035.
double binDistanceInDiameters(int k);

// g(r) of bins 1..200 (element k-1 is bin k): each plotted bin, which sums
// the weight 1/k of every pair visit it got, divided by the sum an ideal gas
// would give it for the same `visits` binned over the whole histogram,
// visits * 2 pi w^2 with w = 0.07R the bin width (a ring of radius k w has
// the area 2 pi k w^2 in the unit box). It tends to 1 where the discs are
// uncorrelated: the g_norm column of ljgas-batch --gr-out for a run counted
// from its start. All zero while nothing has been binned.
std::vector<double> normalisedDistribution(const Record& rec, std::int64_t visits);

}  // namespace ljgas
