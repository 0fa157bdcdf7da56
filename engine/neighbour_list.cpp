#include "neighbour_list.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pair_kernels.h"
#include "runtime/number_to_text.h"

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
    : capacity(capacity), bin(static_cast<std::size_t>(capacity)), rows(static_cast<std::size_t>(capacity) + 1)
{
}

namespace {

std::string discs(int i, int j) { return "discs " + std::to_string(i) + " and " + std::to_string(j); }

// What failed at the pair (i, j) a refresh was visiting, and the likely
// cause, worked out again without the checks. The largest distance,
// sqrt(1/2), has the bin ratio 10.1 / R: beyond 16 bits below R = 3.08e-4,
// beyond the histogram's 20000 bins below R = 5.05e-4.
void explainVisit(EngineError& e, const Record& rec, int i, int j)
{
    if (i < 1 || i > ParticleArray::last || j < 1 || j > ParticleArray::last)
        return;
    const double dx = minimumImage(static_cast<double>(rec.x[i]) - rec.x[j]);
    const double dy = minimumImage(static_cast<double>(rec.y[i]) - rec.y[j]);
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        e.explain("the distance between " + discs(i, j) + ": a position is not a finite number");
        return;
    }
    const double r = std::sqrt(static_cast<double>(static_cast<float>(dx)) * static_cast<float>(dx) +
                               static_cast<double>(static_cast<float>(dy)) * static_cast<float>(dy));
    const double R = rec.R;
    if (R == 0.0) {
        e.explain("the bin of the distance between " + discs(i, j) + " with R = 0", SuspectBox::R);
        return;
    }
    const double ratio = r / R / 14.0 * rec.nbins;
    const std::string radius = "R = " + shortNumber(R);
    if (!(std::fabs(ratio) < 32767.5)) {
        e.explain("the g(r) bin of " + discs(i, j) + ", " + shortNumber(ratio) + ", does not fit 16 bits (" + radius +
                      (R < 0.0 ? " is negative)" : " is below about 3.1e-4)"),
                  SuspectBox::R);
        return;
    }
    const auto bin = static_cast<long>(roundHalfEven(ratio));
    if (bin < 0)
        e.explain("g(r) bin " + std::to_string(bin) + " of " + discs(i, j) + " (R is negative)", SuspectBox::R);
    else if (bin > HistogramArray::last)
        e.explain("g(r) bin " + std::to_string(bin) + " of " + discs(i, j) + " lies beyond the histogram's " +
                      std::to_string(HistogramArray::last) + " bins (" + radius + " is below about 5.05e-4)",
                  SuspectBox::R);
    else if (bin == 0)
        e.explain("the weight 1/0 of g(r) bin 0: " + discs(i, j) + " are " + shortNumber(r / R) +
                  " R apart, closer than 0.035 R");
    else
        e.explain("the g(r) bin of the distance between " + discs(i, j));
}

// One pair at a time: the reference every batched path must match.
template <class OnPair>
void refreshOneByOne(NeighbourList& list, int s, std::int32_t pairs, PairCursor& cursor, const Record& rec, float rc2,
                     OnPair&& onPair)
{
    try {
        list.refresh(s, pairs, cursor, rec, rc2, onPair);
    } catch (EngineError& e) {
        explainVisit(e, rec, cursor.i, cursor.j);
        throw;
    }
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

// The refresh in two passes: distances, bins and the new list slice in
// batches; then the histogram, pair by pair in sequence order (additions to
// one bin must come in pair order). False, with the record unchanged, when
// the stretch cannot be batched or some pair would fail a check.
bool refreshBatched(NeighbourList& list, int s, std::int32_t pairs, PairCursor& cursor, Record& rec, float rc2,
                    bool weighting, std::int64_t& binnedVisits, RefreshScratch& scratch, PendingWeights* defer)
{
    std::size_t rowCount = 0;
    const kernels::Kernels& batched = kernels::kernels();
    if (batched.refreshRow == nullptr || pairs <= 0 || pairs > scratch.capacity || pairs > list.ListCap ||
        pairs > INT16_MAX || rec.R == 0.0f || !splitIntoRows(cursor, pairs, scratch, rowCount))
        return false;

    // Bins must fit 16 bits; weighted ones must also have a weight, 1..20000.
    const double lowest = weighting ? 1.0 : INT16_MIN;
    const double highest = weighting ? HistogramArray::last : INT16_MAX;
    const kernels::RefreshRule rule{rec.R, rec.nbins, lowest, highest, rc2, list.ListCap};
    std::int32_t count = 0;
    std::int32_t first = 0;
    for (std::size_t r = 0; r < rowCount; ++r) {
        const RefreshScratch::Row& row = scratch.rows[r];
        const kernels::RefreshOutput out{scratch.bin.data() + first, list.sliceI(s), list.sliceJ(s), count};
        if (!batched.refreshRow(rec.x.data(), rec.y.data(), row.i, row.firstJ, row.length, rule, out))
            return false;
        first += row.length;
    }
    list.ListCount[s] = static_cast<std::int16_t>(count);
    const RefreshScratch::Row& last = scratch.rows[rowCount - 1];
    cursor.i = last.i;
    cursor.j = static_cast<std::int16_t>(last.firstJ + last.length - 1);

    // Every bin is checked, so the weights cannot fail: now, or later.
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
        refreshOneByOne(list, s, list.ListCap, cursor, rec, rc2, [](float) {});
}

void buildNeighbourList(RunList& run, Record& rec, float rc2)
{
    NeighbourList& list = run.list;
    run.cursor.reset();
    std::int64_t noVisits = 0;
    for (std::int16_t s = 1; s <= SliceCount; ++s) {
        if (!refreshBatched(list, s, list.ListCap, run.cursor, rec, rc2, false, noVisits, run.scratch, nullptr))
            refreshOneByOne(list, s, list.ListCap, run.cursor, rec, rc2, [](float) {});
    }
}

void refreshAndBin(RunList& run, int s, Record& rec, float rc2, float step, std::int64_t& binnedVisits,
                   PendingWeights* defer)
{
    const std::int32_t pairs = pairsPerRefresh(rec.n);
    const bool weighting = step > static_cast<float>(WarmUpSteps);
    if (!refreshBatched(run.list, s, pairs, run.cursor, rec, rc2, weighting, binnedVisits, run.scratch, defer))
        refreshOneByOne(run.list, s, pairs, run.cursor, rec, rc2, [&](float r2) {
            if (binPair(rec, r2, step))
                ++binnedVisits;
        });
}

}  // namespace ljgas
