// Square cells over the periodic unit square, for finding every pair of
// points closer than a given reach without measuring all n(n-1)/2 pairs.
#pragma once

#include <cstdint>

#include <vector>

namespace ljgas {

// With cells at least as wide as the reach, two points closer than the reach
// lie in one cell or in two neighbouring ones (across the periodic edges
// too). Each cell meets itself and four of its eight neighbours (the one to
// its right and the three above), so with three or more cells a side every
// pair of neighbouring cells is met once; with fewer, one cell holds all.
// Items are the caller's numbers 0..items-1, chained per cell, the last
// inserted first.
class CellList {
public:
    // The most cells a side, up to `most`, still at least `reach` wide (with
    // a margin for rounding); 1 when fewer than three would be.
    static int sidesFor(double reach, int most);

    // Empties every cell and sets `side` cells a side (1, or 3 and more).
    void reset(int side, int items);

    // The cell column (or row) of a coordinate in [0, 1]; 1 goes to the last.
    int side() const { return side_; }
    int cellOf(double v) const;
    // The same for a coordinate in units of 2^-32 box lengths, exactly: the
    // cell whose span of 2^32 / side units holds it.
    int cellOf(std::uint32_t v) const
    {
        return static_cast<int>((static_cast<std::uint64_t>(v) * static_cast<std::uint64_t>(side_)) >> 32);
    }

    // Puts an item at the head of cell (cx, cy)'s chain.
    void insert(int item, int cx, int cy);

    // visit(a, b) once for every pair of items in one cell or in two
    // neighbouring cells, cell by cell from (0, 0): a cell's own pairs (each
    // item with those after it in the chain), then its items against those
    // of the right, above-left, above and above-right cells.
    template <class Visit>
    void forEachNearPair(Visit&& visit) const;
    // visit(b) for the items that item `a` of cell (cx, cy) meets, in the
    // same order: called for every item, it meets every pair of
    // forEachNearPair once. Three or more cells a side.
    template <class Visit>
    void forEachNeighbour(int a, int cx, int cy, Visit&& visit) const;

private:
    int side_ = 0;
    std::vector<int> head_;  // first item of each cell, -1 for none
    std::vector<int> next_;  // next item in the same cell, -1 at the end
};

template <class Visit>
void CellList::forEachNearPair(Visit&& visit) const
{
    const int m = side_;
    constexpr int neighbours[4][2] = {{1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    for (int cy = 0; cy < m; ++cy) {
        for (int cx = 0; cx < m; ++cx) {
            const int here = head_[static_cast<std::size_t>(cy * m + cx)];
            for (int a = here; a >= 0; a = next_[static_cast<std::size_t>(a)])
                for (int b = next_[static_cast<std::size_t>(a)]; b >= 0; b = next_[static_cast<std::size_t>(b)])
                    visit(a, b);
            if (m < 3)
                continue;
            for (const auto& [ox, oy] : neighbours) {
                const int there = head_[static_cast<std::size_t>((cy + oy) % m * m + (cx + ox + m) % m)];
                for (int a = here; a >= 0; a = next_[static_cast<std::size_t>(a)])
                    for (int b = there; b >= 0; b = next_[static_cast<std::size_t>(b)])
                        visit(a, b);
            }
        }
    }
}

template <class Visit>
void CellList::forEachNeighbour(int a, int cx, int cy, Visit&& visit) const
{
    const int m = side_;
    const auto chain = [&](int first) {
        for (int b = first; b >= 0; b = next_[static_cast<std::size_t>(b)])
            visit(b);
    };
    const int left = cx == 0 ? m - 1 : cx - 1;
    const int right = cx == m - 1 ? 0 : cx + 1;
    const int above = (cy == m - 1 ? 0 : cy + 1) * m;
    chain(next_[static_cast<std::size_t>(a)]);
    chain(head_[static_cast<std::size_t>(cy * m + right)]);
    chain(head_[static_cast<std::size_t>(above + left)]);
    chain(head_[static_cast<std::size_t>(above + cx)]);
    chain(head_[static_cast<std::size_t>(above + right)]);
}

}  // namespace ljgas
