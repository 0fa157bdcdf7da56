#include "neighbour_list.h"

#include <algorithm>

#include "histogram.h"
#include "pair_kernels.h"
#include "simd_level.h"

namespace ljgas {

std::int32_t pairsPerSlice(std::int32_t n)
{
    const std::int32_t ordered = mul32(n, sub32(n, 1));
    return toInt32(static_cast<double>(ordered) / 2.0 / SliceCount);
}

std::int32_t pairsPerRefresh(std::int32_t n)
{
    const std::int32_t ordered = mul32(n, sub32(n, 1));
    return toInt32(static_cast<double>(ordered) / SliceCount / 2.0);
}

// n(n-1) is never negative, so neither is ListCap.
NeighbourList::NeighbourList(std::int32_t n) : ListCap(pairsPerSlice(n))
{
    const std::size_t cells = (static_cast<std::size_t>(ListCap) + 1) * (SliceCount + 1);
    ListI_.assign(cells, 0);
    ListJ_.assign(cells, 0);
}

RefreshScratch::RefreshScratch(std::int32_t capacity)
    : capacity(capacity), bin(static_cast<std::size_t>(capacity)),
      rows(static_cast<std::size_t>(capacity) + 1)
{
}

namespace {

// One pair at a time: the reference every batched path must match.
void refreshOneByOne(NeighbourList& list, int s, std::int32_t pairs, PairCursor& cursor, Record& rec, float rc2,
                     float step, std::int64_t& binnedVisits)
{
    list.refresh(s, pairs, cursor, rec, rc2, [&](float r2) {
        if (binPair(rec, r2, step))
            ++binnedVisits;
    });
}

// Cut the next `pairs` pairs after the cursor into rows of one i. False when
// a row would reach beyond the particle arrays (the one-pair path then
// reports it).
bool splitIntoRows(const PairCursor& cursor, std::int32_t pairs, RefreshScratch& scratch, std::size_t& rowCount)
{
    int i = cursor.i;
    int j = cursor.j;
    rowCount = 0;
    for (std::int32_t left = pairs; left > 0;) {
        ++j;
        if (j >= i)
            j = 1, ++i;
        if (i > ParticleArray::last)
            return false;
        const std::int32_t length = std::min<std::int32_t>(i - j, left);
        scratch.rows[rowCount++] = {static_cast<std::int16_t>(i), static_cast<std::int16_t>(j), length};
        j += length - 1;
        left -= length;
    }
    return true;
}

// The refresh in two passes: distances, bins and the new list slice, in
// batches; then the histogram, pair by pair in sequence order (additions to
// one bin must come in the order of the pairs). False, with the record
// unchanged, when the stretch cannot be batched or some pair would fail a
// check: the caller then goes one pair at a time.
bool refreshBatched(NeighbourList& list, int s, std::int32_t pairs, PairCursor& cursor, Record& rec, float rc2,
                    bool weighting, std::int64_t& binnedVisits, RefreshScratch& scratch, PendingWeights* defer)
{
    std::size_t rowCount = 0;
    const SimdLevel level = simdLevel();
    if (level < SimdLevel::Avx2 || pairs <= 0 || pairs > scratch.capacity || pairs > list.ListCap ||
        pairs > INT16_MAX || rec.R == 0.0f || !splitIntoRows(cursor, pairs, scratch, rowCount))
        return false;

    // Bins must fit 16 bits; weighted ones must also have a weight, 1..20000.
    const double lowest = weighting ? 1.0 : INT16_MIN;
    const double highest = weighting ? HistogramArray::last : INT16_MAX;
    const kernels::RefreshRule rule{rec.R, rec.nbins, lowest, highest, rc2, list.ListCap};
    const auto refreshRow = level >= SimdLevel::Avx512 ? kernels::refreshRowAvx512 : kernels::refreshRowAvx2;
    std::int16_t* listI = list.sliceI(s);
    std::int16_t* listJ = list.sliceJ(s);
    std::int32_t count = 0;
    std::int32_t* bin = scratch.bin.data();
    for (std::size_t r = 0; r < rowCount; ++r) {
        const RefreshScratch::Row& row = scratch.rows[r];
        if (!refreshRow(rec.x.data(), rec.y.data(), row.i, row.firstJ, row.length, rule, bin, listI,
                                     listJ, count))
            return false;
        bin += row.length;
    }
    list.ListCount[s] = static_cast<std::int16_t>(count);
    const RefreshScratch::Row& last = scratch.rows[rowCount - 1];
    cursor.i = last.i;
    cursor.j = static_cast<std::int16_t>(last.firstJ + last.length - 1);

    // Every bin is checked, so the weights cannot fail: now, or later for
    // a caller that wants them later.
    if (weighting) {
        PendingWeights weights{scratch.bin.data(), pairs, 0};
        if (defer != nullptr)
            *defer = weights;
        else
            weights.addAll(rec);
        binnedVisits += pairs;
    }
    return true;
}

}  // namespace

void buildNeighbourList(NeighbourList& list, PairCursor& cursor, const Record& rec, float rc2)
{
    cursor.reset();
    for (std::int16_t s = 1; s <= SliceCount; ++s)
        list.refresh(s, list.ListCap, cursor, rec, rc2, [](float) {});
}

void buildNeighbourList(RunList& run, Record& rec, float rc2)
{
    NeighbourList& list = run.list;
    run.cursor.reset();
    std::int64_t noVisits = 0;
    for (std::int16_t s = 1; s <= SliceCount; ++s) {
        if (!refreshBatched(list, s, list.ListCap, run.cursor, rec, rc2, false, noVisits, run.scratch, nullptr))
            list.refresh(s, list.ListCap, run.cursor, rec, rc2, [](float) {});
    }
}

void refreshAndBin(RunList& run, int s, Record& rec, float rc2, float step, std::int64_t& binnedVisits,
                   PendingWeights* defer)
{
    const std::int32_t pairs = pairsPerRefresh(rec.n);
    const bool weighting = step > static_cast<float>(WarmUpSteps);
    if (!refreshBatched(run.list, s, pairs, run.cursor, rec, rc2, weighting, binnedVisits, run.scratch, defer))
        refreshOneByOne(run.list, s, pairs, run.cursor, rec, rc2, step, binnedVisits);
}

}  // namespace ljgas
