#include "close_pair_guard.h"

#include <algorithm>
#include <cmath>

#include "neighbour_list.h"
#include "pair_distance.h"
#include "pair_kernels.h"
#include "record.h"

namespace ljgas {

namespace {

// 2^(1/6): the bottom of the Lennard-Jones well lies at 2^(1/6) sigma.
constexpr double WellBottom = 1.122462048309373;

// Rounding makes a drift differ from dt * |v| by a unit in the last place of
// a position (1.2e-7 near 1), and the cut-off test is made on single
// squares: the reach is shortened by more than twenty steps of that.
constexpr double RoundingSlack = 1e-5;

// Paths are summed afresh every so many cycles of SliceCount steps.
constexpr int CyclesBetweenSums = 5;

// Up to this many discs, their pairs are measured one by one; more, and
// they are first sorted into cells as wide as the guard distance.
constexpr std::size_t DirectLimit = 64;
constexpr int MaxCellsPerSide = 64;

}  // namespace

ClosePairGuard::ClosePairGuard(const Record& rec, float R)
{
    n_ = std::clamp<int>(rec.n, 0, ParticleArray::last);
    enabled_ = R > 0.0f && std::isfinite(R) && n_ >= 2;
    if (!enabled_)
        return;
    guard_ = WellBottom * 2.0 * R;
    guard2_ = static_cast<float>(guard_ * guard_);
    reach_ = 8.0 * R - guard_ - RoundingSlack;
    const auto size = static_cast<std::size_t>(n_) + 1;
    for (std::vector<float>& m : moves_)
        m.assign(size, 0.0f);
    path_.assign(size, 0.0f);
    stepMove_.assign(size, 0.0f);
    version_ = rec.positionsVersion;
}

void ClosePairGuard::beginStep(const Record& rec)
{
    if (enabled_ && rec.positionsVersion != version_)
        examineAllSteps_ = SliceCount;
}

int ClosePairGuard::protect(const Record& rec, NeighbourList& list)
{
    if (!enabled_)
        return 0;
    list_ = &list;
    added_ = 0;
    discs_.clear();
    if (examineAllSteps_ > 0) {
        for (int k = 1; k <= n_; ++k)
            discs_.push_back(static_cast<std::int16_t>(k));
    } else {
        // Between the sub-steps of a step, its drifts so far count too.
        double longest = longestPath_;
        if (stepMoved_) {
            for (int k = 1; k <= n_; ++k)
                longest = std::max(longest, pathSoFar(k));
        }
        // A disc can take part in a close pair only if its path and the
        // longest other path together reach far enough.
        const double shortest = reach_ - longest;
        if (shortest > longest)
            return 0;
        for (int k = 1; k <= n_; ++k) {
            if (pathSoFar(k) >= shortest)
                discs_.push_back(static_cast<std::int16_t>(k));
        }
    }
    findClosePairs(rec);
    return added_;
}

double ClosePairGuard::pathSoFar(int k) const
{
    return static_cast<double>(path_[static_cast<std::size_t>(k)]) + stepMove_[static_cast<std::size_t>(k)];
}

bool ClosePairGuard::mayBeClose(int i, int j) const
{
    return examineAllSteps_ > 0 || pathSoFar(i) + pathSoFar(j) >= reach_;
}

void ClosePairGuard::findClosePairs(const Record& rec)
{
    std::vector<std::int16_t>& discs = discs_;
    // Cells as wide as the guard distance and no wider, so that few pairs
    // are measured.
    const int m = static_cast<int>(std::min<double>(MaxCellsPerSide, std::floor(1.0 / guard_)));
    if (discs.size() <= DirectLimit || m < 3) {
        // Longest paths first: once a partner's path is too short, so are
        // those of all after it.
        std::sort(discs.begin(), discs.end(),
                  [this](std::int16_t a, std::int16_t b) { return pathSoFar(a) > pathSoFar(b); });
        for (std::size_t a = 0; a < discs.size(); ++a) {
            for (std::size_t b = a + 1; b < discs.size(); ++b) {
                if (!mayBeClose(discs[a], discs[b]))
                    break;
                considerPair(rec, discs[a], discs[b]);
            }
        }
        return;
    }

    const auto cellOf = [this](float v) {
        return cells_.cellOf(static_cast<double>(v) - std::floor(static_cast<double>(v)));
    };
    cells_.reset(m, static_cast<int>(discs.size()));
    cellX_.resize(discs.size());
    cellY_.resize(discs.size());
    for (std::size_t d = 0; d < discs.size(); ++d) {
        const int k = discs[d];
        cellX_[d] = cellOf(rec.x[k]);
        cellY_[d] = cellOf(rec.y[k]);
        cells_.insert(static_cast<int>(d), cellX_[d], cellY_[d]);
    }
    for (std::size_t a = 0; a < discs.size(); ++a) {
        const int i = discs[a];
        cells_.forEachNeighbour(static_cast<int>(a), cellX_[a], cellY_[a], [&](int b) {
            if (mayBeClose(i, discs[static_cast<std::size_t>(b)]))
                considerPair(rec, i, discs[static_cast<std::size_t>(b)]);
        });
    }
}

void ClosePairGuard::considerPair(const Record& rec, int i, int j)
{
    if (i < j)
        std::swap(i, j);
    // The distance exactly as the refresh would measure it.
    if (!(Radius2(rec.x[i], rec.x[j], rec.y[i], rec.y[j]) < guard2_))
        return;
    // (i, j), j < i, is number (i-1)(i-2)/2 + j of the pair sequence, and
    // belongs to the slice of its stretch.
    NeighbourList& list = *list_;
    if (list.ListCap <= 0)
        return;
    const std::int32_t number = (i - 1) * (i - 2) / 2 + j;
    const int s = (number - 1) / list.ListCap + 1;
    if (s > SliceCount)
        return;  // the stretches do not tile the sequence: never for 225 discs
    // A slice holds its pairs in sequence order, the guard's among them.
    const std::int16_t count = list.ListCount[s];
    std::int16_t* I = list.sliceI(s);
    std::int16_t* J = list.sliceJ(s);
    int low = 1;
    int high = count + 1;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (I[middle] < i || (I[middle] == i && J[middle] < j))
            low = middle + 1;
        else
            high = middle;
    }
    if (low <= count && I[low] == i && J[low] == j)
        return;  // listed
    if (count >= list.ListCap)
        return;  // cannot happen: the slice would hold every pair of its stretch
    // In its place, so that it is kicked where the refresh would have put it;
    // the slice's next refresh examines it again.
    for (int k = count; k >= low; --k) {
        I[k + 1] = I[k];
        J[k + 1] = J[k];
    }
    I[low] = static_cast<std::int16_t>(i);
    J[low] = static_cast<std::int16_t>(j);
    list.ListCount[s] = add16(count, 1);
    ++added_;
}

void ClosePairGuard::addMoves(const float* speed2, float dt)
{
    if (!enabled_)
        return;
    for (int k = 1; k <= n_; ++k)
        stepMove_[static_cast<std::size_t>(k)] += dt * std::sqrt(speed2[k]);
    stepMoved_ = true;
}

void ClosePairGuard::discardStepMoves()
{
    std::fill(stepMove_.begin(), stepMove_.end(), 0.0f);
    stepMoved_ = false;
}

void ClosePairGuard::endStep(const Record& rec, const float* speed2, float dt)
{
    if (!enabled_)
        return;
    float* oldest = moves_[static_cast<std::size_t>(slot_)].data();
    longestPath_ = kernels::kernels().extendPaths(speed2 + 1, n_, dt, stepMove_.data() + 1, oldest + 1,
                                                  path_.data() + 1);
    stepMoved_ = false;
    slot_ = (slot_ + 1) % SliceCount;
    if (slot_ == 0 && ++cyclesSinceSummed_ == CyclesBetweenSums) {
        // Sums kept by adding and taking away drift by a few units in the
        // last place per step: made afresh long before that nears the slack.
        cyclesSinceSummed_ = 0;
        std::fill(path_.begin(), path_.end(), 0.0f);
        for (const std::vector<float>& m : moves_) {
            for (int k = 1; k <= n_; ++k)
                path_[static_cast<std::size_t>(k)] += m[static_cast<std::size_t>(k)];
        }
        longestPath_ = *std::max_element(path_.begin(), path_.end());
    }
    if (examineAllSteps_ > 0)
        --examineAllSteps_;
    version_ = rec.positionsVersion;
}

}  // namespace ljgas
