#include "engine/histogram.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/lattice.h"
#include "engine/neighbour_list.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

TEST(BinIndex, ContactDistanceAndCutOffWithDefaultRadius)
{
    // r = 2R: ratio (0.02 / 0.01) / 14 * 200 = 28.57 -> bin 29.
    EXPECT_EQ(binIndex(0.02f * 0.02f, 0.01f, 200), 29);
    // The cut-off 8R falls in bin 114 whatever R is.
    for (float R : {0.01f, 0.003f, 0.02f}) {
        const float rc2 = static_cast<float>((R * 64.0) * R);
        EXPECT_EQ(binIndex(rc2, R, 200), 114) << R;
    }
    EXPECT_EQ(binIndex(0.0f, 0.01f, 200), 0);
}

TEST(BinIndex, FailureRowsOfTheConversion)
{
    // R = 0: the first division fails.
    try {
        binIndex(0.01f, 0.0f, 200);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::DivisionByZero);
    }
    // A ratio beyond 16 bits: overflow, even during the warm-up.
    try {
        binIndex(0.5f, 2e-4f, 200);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(binIndex(0.01f, -0.01f, 200), -143);  // negative R: negative bin
}

TEST(BinPair, WarmUpFormsTheBinButAddsNothing)
{
    Record rec;
    rec.R = 0.01f;
    rec.nbins = 200;
    EXPECT_FALSE(binPair(rec, 0.02f * 0.02f, 200.0f));
    EXPECT_EQ(rec.g[29], 0.0f);
    rec.R = 2e-4f;
    EXPECT_THROW(binPair(rec, 0.5f, 1.0f), EngineError);
}

TEST(BinPair, WeightIsOneOverTheBin)
{
    Record rec;
    rec.R = 0.01f;
    rec.nbins = 200;
    // r = 0.07R lands in bin 1, r = 14R in bin 200.
    const float r1 = 0.0007f, r200 = 0.14f;
    EXPECT_TRUE(binPair(rec, r1 * r1, 201.0f));
    EXPECT_TRUE(binPair(rec, r200 * r200, 201.0f));
    EXPECT_EQ(rec.g[1], 1.0f);
    EXPECT_EQ(rec.g[200], 0.005f);
    EXPECT_TRUE(binPair(rec, 0.02f * 0.02f, 201.0f));
    EXPECT_TRUE(binPair(rec, 0.02f * 0.02f, 201.0f));
    EXPECT_EQ(rec.g[29], static_cast<float>(static_cast<float>(1.0 / 29) + 1.0 / 29));
}

TEST(BinPair, BinsOutsideTheArrayOrAtZeroFail)
{
    Record rec;
    rec.nbins = 200;
    rec.R = 4e-4f;  // r = 0.5 gives bin 17857; r = 0.7 gives 25000
    EXPECT_TRUE(binPair(rec, 0.25f, 201.0f));
    EXPECT_EQ(rec.g[17857], static_cast<float>(1.0 / 17857));
    try {
        binPair(rec, 0.49f, 201.0f);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::IndexOutOfRange);
    }
    rec.R = -0.01f;
    try {
        binPair(rec, 0.01f, 201.0f);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::IndexOutOfRange);
    }
    rec.R = 0.01f;
    try {
        binPair(rec, 0.0f, 201.0f);  // two particles on top of each other
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::DivisionByZero);
    }
    EXPECT_EQ(rec.g[0], 0.0f);
}

TEST(ResetHistogram, ClearsTheFirst200BinsOnly)
{
    Record rec;
    for (int k : {0, 1, 200, 201, 20000})
        rec.g[k] = 5.0f;
    resetHistogram(rec);
    EXPECT_EQ(rec.nbins, 200);
    EXPECT_EQ(rec.g[0], 5.0f);
    EXPECT_EQ(rec.g[1], 0.0f);
    EXPECT_EQ(rec.g[200], 0.0f);
    EXPECT_EQ(rec.g[201], 5.0f);
    EXPECT_EQ(rec.g[20000], 5.0f);
}

// Single precision falls behind the double sums in long runs: the plotted
// bins are read as they are while every one agrees to 1e-3, and from their
// sums, rounded, from the first check that finds one that does not. The sums
// count the bins' additions without being told of them.
TEST(PlottedBins, AreReadFromTheirSumsOnceOneBinHasFallenBehind)
{
    Record rec;
    resetHistogram(rec);
    for (int visit = 0; visit < 3; ++visit)
        addToBin(rec, 29);
    addToBin(rec, 300);
    keepPlottedBinsTrue(rec);
    EXPECT_EQ(rec.gVisits[29], 3.0);
    EXPECT_FALSE(rec.gShowsSums);
    EXPECT_EQ(plottedBins(rec)[28], rec.g[29]);

    // Bin 150 made to hold 66 visits against a value of 0.43 (66/150 = 0.44):
    // behind by far more than 1e-3.
    rec.gVisits[150] = 66.0;
    rec.g[150] = rec.gCounted[150] = 0.43f;
    EXPECT_EQ(plottedBins(rec)[149], static_cast<float>(66.0 / 150));  // readers see the sums at once
    EXPECT_EQ(rec.g[150], 0.43f);                                      // the record waits for the check
    keepPlottedBinsTrue(rec);
    EXPECT_TRUE(rec.gShowsSums);
    EXPECT_EQ(rec.g[150], 0.0f);  // from here on the additions since the last check
    addToBin(rec, 150);
    addToBin(rec, 150);
    EXPECT_EQ(plottedBins(rec)[149], static_cast<float>(68.0 * (1.0 / 150)));
    EXPECT_EQ(plottedBins(rec)[28], static_cast<float>(3.0 * (1.0 / 29)));

    resetHistogram(rec);  // a new run starts with singles again
    EXPECT_FALSE(rec.gShowsSums);
    EXPECT_EQ(rec.gVisits[150], 0.0);
}

// A bin that nears 2^22 weights, where additions could start to hide, is
// read from its sum before that can happen, even while it agrees.
TEST(PlottedBins, SwitchBeforeABinCanNoLongerBeCounted)
{
    Record rec;
    resetHistogram(rec);
    rec.gVisits[200] = 4194305.0;
    rec.g[200] = rec.gCounted[200] = static_cast<float>(4194305.0 / 200);
    keepPlottedBinsTrue(rec);
    EXPECT_TRUE(rec.gShowsSums);
}

// The count of additions, binade by binade, against one addition at a time:
// weights of many bins, across many powers of two.
TEST(AdditionsBetween, CountsWhatOneAdditionAtATimeWouldCount)
{
    for (int k : {1, 3, 29, 128, 150, 199, 200, 1000, 19999}) {
        const double weight = 1.0 / k;
        float v = 0.0f;
        float mid = 0.0f;
        int done = 0;
        for (int visits : {1, 2, 7, 100, 1000, 50000, 300000}) {
            for (; done < visits; ++done) {
                v = static_cast<float>(static_cast<double>(v) + weight);
                if (done == 3)
                    mid = v;  // after four visits
            }
            ASSERT_EQ(additionsBetween(0.0f, v, weight), done) << k;
            if (done > 4) {
                ASSERT_EQ(additionsBetween(mid, v, weight), done - 4) << k;
            }
        }
        // One unit above a value of the sequence: each addition moves more.
        EXPECT_EQ(additionsBetween(0.0f, std::nextafter(mid, 1.0f), weight), -1.0) << k;
    }
}

// The histogram through a real run: what it holds at the ends of steps 200,
// 201, 210 and 220.
class HistogramSchedule : public ::testing::Test {
protected:
    Record rec;
    RandomSequence random;
    FakeHost host{rec};
    std::vector<float> gAt200, gAt201, gFromStretch1;
    std::int64_t visitsAt210 = -1, visitsAt220 = -1;

    void SetUp() override { initializeLattice(rec, 0.01f, random); }
};

TEST_F(HistogramSchedule, AccumulatesFromStep201OnStretchBoundaries)
{
    host.onYield = [&](int yield) {
        if (yield == 200) {
            gAt200.assign(rec.g.data(), rec.g.data() + 201);
            // Expected weights of stretch 1 at the positions step 201 will see.
            Record copy = rec;
            PairCursor c;
            gFromStretch1.assign(201, 0.0f);
            for (int p = 0; p < 1260; ++p) {
                c.advance();
                const float r2 = Radius2(copy.x[c.i], copy.x[c.j], copy.y[c.i], copy.y[c.j]);
                const int k = binIndex(r2, copy.R, 200);
                if (k <= 200)
                    gFromStretch1[k] = static_cast<float>(gFromStretch1[k] + 1.0 / k);
            }
        }
        if (yield == 201)
            gAt201.assign(rec.g.data(), rec.g.data() + 201);
        if (yield == 210)
            visitsAt210 = host.stats.binnedVisits;
        if (yield == 220)
            visitsAt220 = host.stats.binnedVisits;
    };
    host.run(220);

    for (int k = 1; k <= 200; ++k)
        ASSERT_EQ(gAt200[k], 0.0f) << k;
    float total = 0;
    for (int k = 1; k <= 200; ++k) {
        EXPECT_EQ(gAt201[k], gFromStretch1[k]) << k;
        total += gAt201[k];
    }
    EXPECT_GT(total, 0.0f);
    EXPECT_EQ(visitsAt210, 10 * 1260);  // only stretches 1..10 by the plot step
    EXPECT_EQ(visitsAt220, 25200);      // every pair once
    EXPECT_EQ(host.plotRedrawSteps.back(), 210.0f);
}

TEST_F(HistogramSchedule, NextRunClearsBins1To200AndWarmsUpAgain)
{
    host.run(240);
    rec.g[300] = 2.0f;
    float before = 0;
    for (int k = 1; k <= 200; ++k)
        before += rec.g[k];
    EXPECT_GT(before, 0.0f);
    host.run(200);
    for (int k = 1; k <= 200; ++k)
        EXPECT_EQ(rec.g[k], 0.0f);
    EXPECT_EQ(rec.g[300], 2.0f);
}

TEST_F(HistogramSchedule, FailureEndsTheRunAtTheFailingPairKeepingEarlierWeights)
{
    // After the warm-up put particle 60 onto particle 59: pair (60, 59) lies
    // in stretch 2 and falls into bin 0, a weight of 1/0.
    host.onYield = [&](int yield) {
        if (yield == 201) {
            rec.x[60] = rec.x[59];
            rec.y[60] = rec.y[59];
        }
    };
    try {
        host.run(1000);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::DivisionByZero);
    }
    EXPECT_EQ(host.stats.step, 202.0f);
    // (60, 59) is pair 59*58/2 + 59 = 1770 of the sequence: stretch 1 in step
    // 201 and the pairs of stretch 2 before it in step 202 were added.
    const int failingPair = 59 * 58 / 2 + 59;
    EXPECT_EQ(host.stats.binnedVisits, failingPair - 1);
}

}  // namespace
}  // namespace ljgas
