// The staggered neighbour list: the pair sequence cut into 20 slices, one
// slice re-examined per step, holding the pairs closer than 8R.
#pragma once

#include <cstdint>
#include <vector>

#include "checked.h"
#include "histogram.h"
#include "pair_distance.h"
#include "record.h"
#include "run_params.h"

namespace ljgas {

// Pairs of one slice: n(n-1)/2 / 20, the product in 32 bits, the quotient
// rounded half to even. 1260 for 225 particles.
std::int32_t pairsPerSlice(std::int32_t n);
// The same count with the divisions the other way round (by 20, then by 2),
// as every step recomputes it for its refresh.
std::int32_t pairsPerRefresh(std::int32_t n);

// Position in the pair sequence (2,1), (3,1), (3,2), (4,1), ... (n,n-1):
// the last pair visited. (1, 0) is before the first.
struct PairCursor {
    std::int16_t i = 1;
    std::int16_t j = 0;

    void reset() { i = 1, j = 0; }
    void advance()
    {
        j = add16(j, 1);
        if (j == i) {
            j = 1;
            i = add16(i, 1);
        }
    }
};

// ListCount(s) pairs (ListI(k, s), ListJ(k, s)), k = 1..ListCount(s), in
// slices s = 1..20, with j < i; room for ListCap pairs per slice.
class NeighbourList {
public:
    explicit NeighbourList(std::int32_t n);

    std::int32_t ListCap = 0;
    FixedArray<std::int16_t, SliceCount> ListCount;

    std::int16_t& ListI(int k, int s) { return ListI_[index(k, s)]; }
    std::int16_t& ListJ(int k, int s) { return ListJ_[index(k, s)]; }
    std::int16_t ListI(int k, int s) const { return ListI_[index(k, s)]; }
    std::int16_t ListJ(int k, int s) const { return ListJ_[index(k, s)]; }

    // Slice s as plain arrays, entry k at [k], for loops that have checked
    // their k against ListCap once.
    std::int16_t* sliceI(int s) { return &ListI_[index(0, s)]; }
    std::int16_t* sliceJ(int s) { return &ListJ_[index(0, s)]; }
    const std::int16_t* sliceI(int s) const { return &ListI_[index(0, s)]; }
    const std::int16_t* sliceJ(int s) const { return &ListJ_[index(0, s)]; }

    // Empty slice s, then visit the next `pairs` pairs from the cursor on:
    // each pair's r^2 goes to onPair before the pair is kept if r^2 < rc2.
    template <class OnPair>
    void refresh(int s, std::int32_t pairs, PairCursor& cursor, const Record& rec, float rc2, OnPair&& onPair);

private:
    // Slice-major, so that a slice's pairs lie side by side.
    std::size_t index(int k, int s) const
    {
        if (static_cast<unsigned>(k) > static_cast<unsigned>(ListCap) ||
            static_cast<unsigned>(s) > static_cast<unsigned>(SliceCount)) [[unlikely]]
            fail(ErrorKind::IndexOutOfRange);
        return static_cast<std::size_t>(s) * (static_cast<std::size_t>(ListCap) + 1) + static_cast<std::size_t>(k);
    }

    std::vector<std::int16_t> ListI_;
    std::vector<std::int16_t> ListJ_;
};

// Working space of the batched refresh, allocated with the run: the bin of
// every pair a refresh visits, and the rows (one i, consecutive j) the
// stretch of the pair sequence falls into.
struct RefreshScratch {
    struct Row {
        std::int16_t i;
        std::int16_t firstJ;
        std::int32_t length;
    };

    explicit RefreshScratch(std::int32_t capacity);

    std::int32_t capacity = 0;
    std::vector<std::int32_t> bin;
    std::vector<Row> rows;
};

// A run's neighbour list, the cursor its refreshes move along, and the
// batched refresh's working space.
struct RunList {
    explicit RunList(std::int32_t n) : list(n), scratch(list.ListCap) {}

    NeighbourList list;
    PairCursor cursor;
    RefreshScratch scratch;
};

// A step's refresh of slice s, exactly as refresh() with binPair: the next
// n(n-1)/2/20 pairs from the cursor on, each binned (weighted only when
// step > 200, counted in binnedVisits), the close ones kept. Batched where
// the processor allows; a batch that would fail a check is redone pair by
// pair. With `defer`, batched weights may be left there for the caller to add.
void refreshAndBin(RunList& run, int s, Record& rec, float rc2, float step, std::int64_t& binnedVisits,
                   PendingWeights* defer = nullptr);

// The whole list at run start: cursor to (1, 0), slices 1..20 in turn, the
// cursor running on. Bins nothing.
void buildNeighbourList(NeighbourList& list, PairCursor& cursor, const Record& rec, float rc2);
// The same, batched where the processor allows.
void buildNeighbourList(RunList& run, Record& rec, float rc2);

template <class OnPair>
void NeighbourList::refresh(int s, std::int32_t pairs, PairCursor& cursor, const Record& rec, float rc2,
                            OnPair&& onPair)
{
    std::int16_t& count = ListCount[s];
    count = 0;
    for (std::int32_t c = 1; c <= pairs; ++c) {
        cursor.advance();
        const int i = cursor.i;
        const int j = cursor.j;
        const float r2 = Radius2(rec.x[i], rec.x[j], rec.y[i], rec.y[j]);
        onPair(r2);
        if (r2 < rc2) {
            count = add16(count, 1);
            ListI(count, s) = cursor.i;
            ListJ(count, s) = cursor.j;
        }
    }
}

}  // namespace ljgas
