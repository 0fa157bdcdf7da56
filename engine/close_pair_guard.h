// The guard of the staggered neighbour list: an unlisted pair closer than the
// bottom of the well is put into its slice at once, to feel the next kick.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cell_list.h"
#include "run_params.h"

namespace ljgas {

class NeighbourList;
struct Record;

// Why a guard at all: the list re-examines each pair only every 20 steps, so
// a pair that comes in from beyond the 8R cut-off between two refreshes of
// its slice meets no force. At the default temperature the nearest unlisted
// pair stays beyond 1.7 sigma, but a hot gas, smaller discs or a deeper well
// bring fast pairs right into the repulsive core, unlisted, and their first
// kick once listed is enormous.
//
// The guard distance is the bottom of the well, 2^(1/6) sigma: beyond it is
// the weak attraction that the staggered list leaves out by design for up to
// 19 steps, inside it the r^-13 wall that no pair may meet unlisted.
//
// An unlisted pair was at least 8R apart when its stretch was last examined,
// at most 20 steps ago, so it can be inside the guard distance only if the
// two discs' paths over the last 20 steps add up to more than 8R less the
// guard distance (2.88 sigma). Each disc's path is kept, and only pairs of
// discs that have both travelled far are measured; at the default
// temperature a disc averages 0.5 sigma in 20 steps, so most steps measure
// nothing. Positions changed from outside the run (a lattice start, an
// opened state, a nested run) break that argument: until every slice has
// been refreshed again, the guard measures every pair.
class ClosePairGuard {
public:
    // For the run's radius R (not positive: no guard) and its n discs, whose
    // positions are those the list was just built from.
    ClosePairGuard(const Record& rec, float R);

    // At the start of each step: whether the positions are still the run's.
    void beginStep(const Record& rec);
    // Before every kick: puts the unlisted pairs closer than the guard
    // distance into their slices. Returns how many it put there.
    int protect(const Record& rec, NeighbourList& list);
    // After a drift that is not the step's last: each disc k has moved
    // dt * sqrt(speed2[k]).
    void addMoves(const float* speed2, float dt);
    // Forgets the moves of this step so far (its drifts were undone).
    void discardStepMoves();
    // At the end of each step: the step's moves join the paths.
    void endStep(const Record& rec, const float* speed2, float dt);

private:
    double pathSoFar(int k) const;
    bool mayBeClose(int i, int j) const;
    void findClosePairs(const Record& rec);
    void considerPair(const Record& rec, int i, int j);

    bool enabled_ = false;
    int n_ = 0;
    double guard_ = 0.0;   // the guard distance, box lengths
    float guard2_ = 0.0f;  // its square, for Radius2's single result
    double reach_ = 0.0;   // 8R less the guard distance: the paths needed to get close

    // Each disc's move in each of the last SliceCount steps, their sums (the
    // paths), the longest, and the moves of the step in progress.
    std::array<std::vector<float>, SliceCount> moves_;
    std::vector<float> path_;
    std::vector<float> stepMove_;
    bool stepMoved_ = false;
    double longestPath_ = 0.0;
    int slot_ = 0;
    int cyclesSinceSummed_ = 0;

    // The record's positionsVersion after the run's last step, and the steps
    // until every slice is refreshed after a change from outside.
    std::uint64_t version_ = 0;
    int examineAllSteps_ = 0;

    // protect()'s list, the discs it looks at and the cells it sorts them into.
    NeighbourList* list_ = nullptr;
    int added_ = 0;
    std::vector<std::int16_t> discs_;
    CellList cells_;
    std::vector<int> cellX_, cellY_;
};

}  // namespace ljgas
