#include "engine/neighbour_list.h"

#include <cmath>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "engine/histogram.h"
#include "engine/lattice.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

TEST(ListCap, IsOneTwentiethOfAllPairsRoundedHalfToEven)
{
    EXPECT_EQ(pairsPerSlice(225), 1260);
    EXPECT_EQ(pairsPerRefresh(225), 1260);
    EXPECT_EQ(pairsPerSlice(0), 0);
    EXPECT_EQ(pairsPerSlice(5), 0);                   // 20 / 40 = 0.5 -> 0
    EXPECT_EQ(pairsPerSlice(21), 10);                 // 420 / 40 = 10.5 -> 10
    EXPECT_EQ(pairsPerSlice(36), 32);                 // 1260 / 40 = 31.5 -> 32
    EXPECT_EQ(pairsPerSlice(6), 1);                   // 30 / 40 = 0.75 -> 1
    EXPECT_THROW(pairsPerSlice(50000), EngineError);  // n(n-1) beyond 32 bits
}

TEST(PairCursor, WalksThePairSequenceInOrder)
{
    PairCursor c;
    c.advance();
    EXPECT_EQ(std::make_pair(int{c.i}, int{c.j}), std::make_pair(2, 1));
    c.advance();
    EXPECT_EQ(std::make_pair(int{c.i}, int{c.j}), std::make_pair(3, 1));
    c.advance();
    EXPECT_EQ(std::make_pair(int{c.i}, int{c.j}), std::make_pair(3, 2));

    c.reset();
    for (int a = 0; a < 1260; ++a)
        c.advance();
    // 50 * 49 / 2 = 1225 pairs end with (50, 49); the 35th pair of i = 51 follows.
    EXPECT_EQ(c.i, 51);
    EXPECT_EQ(c.j, 35);
    for (int a = 1260; a < 25200; ++a)
        c.advance();
    EXPECT_EQ(c.i, 225);
    EXPECT_EQ(c.j, 224);
}

Record latticeRecord()
{
    Record rec;
    RandomSequence random;
    initializeLattice(rec, 0.01f, random);
    return rec;
}

TEST(NeighbourList, BuildKeepsEveryPairCloserThanTheCutOffOnce)
{
    const Record rec = latticeRecord();
    const float rc2 = static_cast<float>((0.01f * 64.0) * 0.01f);
    NeighbourList list(rec.n);
    EXPECT_EQ(list.ListCap, 1260);
    PairCursor cursor;
    buildNeighbourList(list, cursor, rec, rc2);
    EXPECT_EQ(cursor.i, 225);
    EXPECT_EQ(cursor.j, 224);

    std::set<std::pair<int, int>> stored;
    for (int s = 1; s <= 20; ++s) {
        EXPECT_LE(list.ListCount[s], list.ListCap);
        for (int k = 1; k <= list.ListCount[s]; ++k) {
            const int i = list.ListI(k, s), j = list.ListJ(k, s);
            EXPECT_LT(j, i);
            EXPECT_GE(j, 1);
            EXPECT_TRUE(stored.insert({i, j}).second) << "pair stored twice";
        }
    }
    EXPECT_EQ(list.ListCount[0], 0);
    // On the lattice (spacing 1/15 = 0.0667 < 0.08) exactly the four nearest
    // neighbours of each site are within 8R: 2 * 225 pairs.
    EXPECT_EQ(stored.size(), 450u);
    for (int i = 2; i <= 225; ++i)
        for (int j = 1; j < i; ++j) {
            const bool close = Radius2(rec.x[i], rec.x[j], rec.y[i], rec.y[j]) < rc2;
            EXPECT_EQ(stored.count({i, j}) == 1, close) << i << "," << j;
        }
}

TEST(NeighbourList, SliceOfAStretchWithoutClosePairsIsEmpty)
{
    Record rec = latticeRecord();
    // Spread the lattice out: with R so small that the cut-off is below every
    // distance nothing is kept.
    NeighbourList list(rec.n);
    PairCursor cursor;
    buildNeighbourList(list, cursor, rec, 1e-6f);
    for (int s = 1; s <= 20; ++s)
        EXPECT_EQ(list.ListCount[s], 0);
}

// Two particles whose Radius2 is exactly rc2 for R = 0.01.
bool findPairAtCutOff(float rc2, float& xa, float& xb, float& ya, float& yb)
{
    float dx = std::sqrt(rc2);
    for (int a = 0; a < 64; ++a, dx = std::nextafter(dx, 0.0f)) {
        for (float dy = 0.0f; dy < 1e-3f; dy = std::nextafter(dy + 1e-6f, 1.0f)) {
            xa = 0.5f, xb = 0.5f + dx, ya = 0.5f, yb = 0.5f + dy;
            if (Radius2(xb, xa, yb, ya) == rc2)
                return true;
        }
    }
    return false;
}

TEST(NeighbourList, PairExactlyAtTheCutOffIsLeftOutButBinnedIn114)
{
    Record rec;
    rec.n = 2;
    rec.R = 0.01f;
    const float rc2 = static_cast<float>((rec.R * 64.0) * rec.R);
    float xa, xb, ya, yb;
    ASSERT_TRUE(findPairAtCutOff(rc2, xa, xb, ya, yb));
    rec.x[1] = xa, rec.x[2] = xb, rec.y[1] = ya, rec.y[2] = yb;

    NeighbourList list(2);  // ListCap rounds 2/40 to 0 ...
    EXPECT_EQ(list.ListCap, 0);
    NeighbourList wide(225);  // ... so use a full-size list and visit one pair
    PairCursor cursor;
    float seen = -1.0f;
    wide.refresh(1, 1, cursor, rec, rc2, [&](float r2) { seen = r2; });
    EXPECT_EQ(seen, rc2);
    EXPECT_EQ(wide.ListCount[1], 0);
    EXPECT_EQ(binIndex(seen, rec.R, 200), 114);

    // With a cut-off one ulp larger the pair is kept.
    cursor.reset();
    wide.refresh(1, 1, cursor, rec, std::nextafter(rc2, 1.0f), [](float) {});
    ASSERT_EQ(wide.ListCount[1], 1);
    EXPECT_EQ(wide.ListI(1, 1), 2);
    EXPECT_EQ(wide.ListJ(1, 1), 1);
}

}  // namespace
}  // namespace ljgas
