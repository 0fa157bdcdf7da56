// The guard of the staggered neighbour list: a pair that is not in the list
// and has come closer than the bottom of the potential well is put into its
// slice at once, so that it feels its force from the next kick on.
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
// its slice meets no force. At the default temperature no pair gets close
// enough for that to matter (the nearest unlisted pair stays beyond 1.7
// sigma), but a hot gas, smaller discs or a deeper well bring fast pairs
// right into the repulsive core, unlisted, and the first kick they get once
// listed is enormous.
//
// The guard distance is the bottom of the well, 2^(1/6) sigma. Beyond it the
// pair force is the weak attraction that the staggered list leaves out by
// design for up to 19 steps; inside it begins the repulsive wall, rising as
// r^-13, that keeps discs apart, and no pair may meet it unlisted.
//
// Finding such pairs cheaply: an unlisted pair was at least 8R apart when its
// stretch was last examined, at most 20 steps ago. It can have come inside
// the guard distance only if the two discs' paths over the last 20 steps add
// up to more than 8R less the guard distance (2.88 sigma). Each disc's path
// over its last 20 steps is kept, and only pairs of discs that have both
// travelled far are measured. At the default temperature a disc averages
// 0.5 sigma in 20 steps, and the fast path (no disc far enough) is taken in
// most steps.
//
// Positions changed from outside the run (a lattice start, an opened state,
// a run nested in this one) break that argument: until every slice has been
// refreshed again, the guard then measures every pair. The record's
// positionsVersion tells the guard when that has happened.
class ClosePairGuard {
public:
    // For the run's radius R (fixed at its start; not positive: no guard) and
    // its n discs, whose positions are those the list was just built from.
    ClosePairGuard(const Record& rec, float R);

    // At the start of each step: whether the positions are still those the
    // run left after its last step.
    void beginStep(const Record& rec);
    // Before every kick: puts the unlisted pairs closer than the guard
    // distance into their slices. Returns how many it put there.
    int protect(const Record& rec, NeighbourList& list);
    // After a drift that is not the step's last: each disc k has moved
    // dt * sqrt(speed2[k]).
    void addMoves(const float* speed2, float dt);
    // Forgets the moves of this step so far (its drifts were undone).
    void discardStepMoves();
    // At the end of each step, after its own change of positions: the last
    // drift's moves, and the step's, join the paths.
    void endStep(const Record& rec, const float* speed2, float dt);

    double guardDistance() const { return guard_; }

private:
    double pathSoFar(int k) const;
    bool mayBeClose(int i, int j) const;
    void findClosePairs(const Record& rec);
    void considerPair(const Record& rec, int i, int j);

    bool enabled_ = false;
    int n_ = 0;
    double guard_ = 0.0;      // the guard distance, box lengths
    float guard2_ = 0.0f;     // its square, for Radius2's single result
    double reach_ = 0.0;      // 8R less the guard distance: the paths needed to get close

    // Paths: each disc's move in each of the last SliceCount steps, their
    // sums, the largest sum, and the moves of the step in progress.
    std::array<std::vector<float>, SliceCount> moves_;
    std::vector<float> path_;
    std::vector<float> stepMove_;
    bool stepMoved_ = false;
    double longestPath_ = 0.0;
    int slot_ = 0;
    int cyclesSinceSummed_ = 0;

    // The record's positionsVersion after the run's last step, and the steps
    // until every slice has been refreshed since positions were changed
    // from outside.
    std::uint64_t version_ = 0;
    int examineAllSteps_ = 0;

    // The list of this protect() call, the discs it looks at, and the cells
    // it sorts them into.
    NeighbourList* list_ = nullptr;
    int added_ = 0;
    std::vector<std::int16_t> discs_;
    CellList cells_;
    std::vector<int> cellX_, cellY_;
};

}  // namespace ljgas
