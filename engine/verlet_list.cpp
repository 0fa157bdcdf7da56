#include "verlet_list.h"

#include <algorithm>
#include <cmath>

#include "fixed_point.h"

namespace ljgas {

namespace {

// More cells a side than this buy nothing for a thousand discs.
constexpr int MostCellsPerSide = 64;

// Squared separation in position units, exactly: each square is below 2^62.
std::uint64_t squaredSeparation(std::uint32_t xa, std::uint32_t ya, std::uint32_t xb, std::uint32_t yb)
{
    const std::int64_t dx = separation(xa, xb);
    const std::int64_t dy = separation(ya, yb);
    return static_cast<std::uint64_t>(dx * dx) + static_cast<std::uint64_t>(dy * dy);
}

}  // namespace

VerletList::VerletList(int n, double cutOff, double margin) : n_(std::max(n, 0))
{
    // A reach a little longer than cut-off + margin, so that no rounding of
    // the squares can leave out a pair that the argument above needs.
    const double reach = (cutOff + margin) * (1.0 + 1e-9);
    reach2_ = (reach * PositionUnitsPerBox) * (reach * PositionUnitsPerBox);
    const double allowed = std::floor(margin * 0.5 * PositionUnitsPerBox);
    allowedMove2_ = static_cast<std::uint64_t>(allowed) * static_cast<std::uint64_t>(allowed);
    cells_.reset(CellList::sidesFor(reach, MostCellsPerSide), n_ + 1);
    builtX_.assign(static_cast<std::size_t>(n_) + 1, 0);
    builtY_.assign(static_cast<std::size_t>(n_) + 1, 0);
}

void VerletList::build(const std::uint32_t* X, const std::uint32_t* Y)
{
    cells_.reset(cells_.side(), n_ + 1);
    for (int k = n_; k >= 1; --k)
        cells_.insert(k, cells_.cellOf(X[k]), cells_.cellOf(Y[k]));
    found_.clear();
    cells_.forEachNearPair([&](int a, int b) {
        if (static_cast<double>(squaredSeparation(X[a], Y[a], X[b], Y[b])) < reach2_)
            found_.push_back({static_cast<std::int16_t>(std::max(a, b)), static_cast<std::int16_t>(std::min(a, b))});
    });
    // Each disc's pairs side by side, in the order found (a counting sort
    // on i): its kicks then add up in registers.
    firstOf_.assign(static_cast<std::size_t>(n_) + 2, 0);
    for (const Pair p : found_)
        ++firstOf_[static_cast<std::size_t>(p.i) + 1];
    for (std::size_t k = 1; k < firstOf_.size(); ++k)
        firstOf_[k] += firstOf_[k - 1];
    pairs_.resize(found_.size());
    for (const Pair p : found_)
        pairs_[firstOf_[static_cast<std::size_t>(p.i)]++] = p;
    std::copy_n(X, n_ + 1, builtX_.data());
    std::copy_n(Y, n_ + 1, builtY_.data());
    ++builds_;
}

}  // namespace ljgas
