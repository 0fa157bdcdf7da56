#include "engine/cell_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "engine/pair_distance.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

struct Points {
    std::vector<double> x, y;
};

Points scattered(int count)
{
    RandomSequence random(3);
    Points p;
    for (int k = 0; k < count; ++k) {
        p.x.push_back(random.next());
        p.y.push_back(random.next());
    }
    // The edges themselves: 0, and 1 (the same place).
    p.x.push_back(0.0), p.y.push_back(0.0);
    p.x.push_back(1.0), p.y.push_back(1.0);
    return p;
}

double distance(const Points& p, int a, int b)
{
    return std::hypot(minimumImage(p.x[a] - p.x[b]), minimumImage(p.y[a] - p.y[b]));
}

// Every pair closer than the reach is visited, and no pair twice, with many
// cells a side, with three, and with the one cell of a reach too long for
// three.
TEST(CellList, VisitsEveryClosePairOnce)
{
    const Points p = scattered(400);
    const int n = static_cast<int>(p.x.size());
    for (const double reach : {0.05, 0.3, 0.34}) {
        CellList cells;
        cells.reset(CellList::sidesFor(reach, 64), n);
        for (int k = n - 1; k >= 0; --k)
            cells.insert(k, cells.cellOf(p.x[k]), cells.cellOf(p.y[k]));
        std::multiset<std::pair<int, int>> visited;
        cells.forEachNearPair([&](int a, int b) { visited.insert({std::min(a, b), std::max(a, b)}); });
        int close = 0;
        for (int a = 0; a < n; ++a) {
            for (int b = a + 1; b < n; ++b) {
                const auto times = visited.count({a, b});
                ASSERT_LE(times, 1u) << reach << ": " << a << ", " << b;
                if (distance(p, a, b) < reach) {
                    ++close;
                    ASSERT_EQ(times, 1u) << reach << ": " << a << ", " << b;
                }
            }
        }
        EXPECT_GT(close, n) << reach;
    }
}

TEST(CellList, CellsAtLeastAsWideAsTheReach)
{
    EXPECT_EQ(CellList::sidesFor(0.0999, 64), 10);
    EXPECT_EQ(CellList::sidesFor(0.1, 64), 9);  // ten exactly as wide leave no room for rounding
    EXPECT_EQ(CellList::sidesFor(0.001, 64), 64);
    EXPECT_EQ(CellList::sidesFor(0.34, 64), 1);  // two would repeat neighbours
    CellList cells;
    cells.reset(7, 1);
    EXPECT_EQ(cells.cellOf(1.0), 6);
    EXPECT_EQ(cells.cellOf(0.0), 0);
}

}  // namespace
}  // namespace ljgas
