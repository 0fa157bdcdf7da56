// The conserving dynamics' neighbour list: every pair within the cut-off and
// a margin beyond it, built through cells and built again as soon as a disc
// has moved half the margin, so that no pair within the cut-off is missed.
#pragma once

#include <cstdint>
#include <vector>

#include "cell_list.h"
#include "fixed_point.h"

namespace ljgas {

// Why half the margin: a pair that is now closer than the cut-off rc was, at
// the last build, closer than rc plus the two discs' moves since. While no
// disc has moved more than half the margin, that is less than rc + margin,
// the reach the list was built with, and the pair is in the list. Moves are
// measured exactly, in position units, as minimum-image displacements.
//
// The margin is one disc diameter, 2R: at the default gas (R 0.01) the list
// holds some 800 pairs for the 470 to 680 within the cut-off and is built
// again every eight steps or so, when the fastest disc has moved R.
class VerletList {
public:
    struct Pair {
        std::int16_t i;
        std::int16_t j;
    };

    // For discs 1..n, with the cut-off and the margin in box lengths.
    VerletList(int n, double cutOff, double margin);

    // The pairs closer than cut-off + margin at coordinates X[1..n], Y[1..n]
    // (units of 2^-32 box lengths), which become the positions moves are
    // measured from. Each pair is (i, j) with i > j, in order of i.
    void build(const std::uint32_t* X, const std::uint32_t* Y);

    // Whether disc k, now at (X, Y), has moved more than half the margin
    // from where the list was built (then it must be built again before the
    // next kick).
    bool movedTooFar(int k, std::uint32_t X, std::uint32_t Y) const
    {
        const auto s = static_cast<std::size_t>(k);
        const std::int64_t dx = separation(builtX_[s], X);
        const std::int64_t dy = separation(builtY_[s], Y);
        return static_cast<std::uint64_t>(dx * dx) + static_cast<std::uint64_t>(dy * dy) > allowedMove2_;
    }

    const std::vector<Pair>& pairs() const { return pairs_; }
    // Where the discs were at the last build, and the square of the move
    // that outdates the list.
    const std::uint32_t* builtX() const { return builtX_.data(); }
    const std::uint32_t* builtY() const { return builtY_.data(); }
    std::uint64_t allowedMove2() const { return allowedMove2_; }
    std::int64_t builds() const { return builds_; }

private:
    int n_ = 0;
    double reach2_ = 0.0;             // (cut-off + margin)^2, position units squared
    std::uint64_t allowedMove2_ = 0;  // (margin / 2)^2, position units squared, rounded down
    CellList cells_;
    std::vector<Pair> pairs_;
    std::vector<Pair> found_;             // the pairs in the cells' order
    std::vector<std::uint32_t> firstOf_;  // where each disc's pairs go
    std::vector<std::uint32_t> builtX_, builtY_;
    std::int64_t builds_ = 0;
};

}  // namespace ljgas
