// The window while a run goes on: Stop, Initialize and a second Go clicked
// inside a step's event processing, the schedule of the read-out and the
// plot, and engine errors in outer and nested handlers.
#include <QLabel>
#include <QTest>
#include <cmath>

#include <gtest/gtest.h>

#include "engine/record.h"
#include "platform/picture_box.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::black;
using test::countPixels;
using test::ScriptedForm;
using test::white;

class RunTest : public testing::Test {
protected:
    void SetUp() override
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    QString readOut() const { return form.control<QLabel>("Ttxt")->text(); }

    // Column of bin k and row of height h on the plot.
    QPoint plotPixel(double k, double h) const
    {
        const QPointF p = form.plot().toPixel(k, h);
        return {static_cast<int>(std::floor(p.x() + 0.5)), static_cast<int>(std::floor(p.y() + 0.5))};
    }

    ScriptedForm form;
};

TEST_F(RunTest, StopClickedDuringAStepEndsTheRunAfterThatStep)
{
    const Record start = form.record();
    form.clickAt(7, "pause");
    form.click("Go");
    EXPECT_EQ(form.pumps(), 7);
    EXPECT_EQ(form.runStarts(), 1);
    EXPECT_EQ(form.record().PauseMark, -1);
    EXPECT_TRUE(form.errors().empty());
    // The particles moved and stay drawn at their last positions: erase,
    // drift and draw in one pass leave what a clean redraw shows.
    EXPECT_NE(form.record().x[1], start.x[1]);
    EXPECT_EQ(form.view().image(), test::cleanRedraw(form.view(), form.record()));

    // Go again continues from there, without a clear.
    const float x1 = form.record().x[1];
    form.clickAt(10, "pause");
    form.click("Go");
    EXPECT_EQ(form.pumps(), 10);
    EXPECT_NE(form.record().x[1], x1);
    EXPECT_EQ(form.view().image(), test::cleanRedraw(form.view(), form.record()));
}

TEST_F(RunTest, TemperatureIsShownEveryTwentiethStepOfARun)
{
    form.clickAt(15, "pause");
    form.click("Go");
    EXPECT_EQ(readOut(), "");  // stopped before step 20
    // A new run starts its own cycle: nothing at its step 5.
    form.clickAt(15 + 19, "pause");
    form.click("Go");
    EXPECT_EQ(readOut(), "");
    form.clickAt(34 + 20, "pause");
    form.click("Go");
    bool number = false;
    const double T = readOut().toDouble(&number);
    ASSERT_TRUE(number) << readOut().toStdString();
    // Lattice start: components uniform in [-0.5, 0.5), so the mean of
    // vx^2 + vy^2 is about 1/6; the thermostat pulls it gently to 0.3.
    EXPECT_GT(T, 0.1);
    EXPECT_LT(T, 0.3);
}

TEST_F(RunTest, PlotIsFirstRedrawnAtStepTenAsAFlatLine)
{
    form.clickAt(9, "pause");
    form.click("Go");
    EXPECT_EQ(form.plotRedraws(), 0);
    const QImage& empty = form.plot().image();
    EXPECT_EQ(countPixels(empty, black), static_cast<long long>(empty.width()) * empty.height());

    form.clickAt(9 + 10, "pause");
    form.click("Go");
    EXPECT_EQ(form.plotRedraws(), 1);
    const QImage& flat = form.plot().image();
    const QPoint first = plotPixel(1, 0);
    const QPoint last = plotPixel(200, 0);
    EXPECT_EQ(first.y(), flat.height() - 1);
    EXPECT_EQ(last.x(), flat.width() - 1);
    for (int x = 0; x < flat.width(); ++x)
        EXPECT_EQ(flat.pixel(x, flat.height() - 1), x >= first.x() ? white : black) << x;
    EXPECT_EQ(countPixels(flat, white), flat.width() - first.x());

    // Redrawn every 20 steps: steps 10 and 30 of the next run.
    form.clickAt(19 + 30, "pause");
    form.click("Go");
    EXPECT_EQ(form.plotRedraws(), 3);
}

TEST_F(RunTest, SecondGoNestsAndOneStopEndsBothRuns)
{
    form.clickAt(5, "Go");
    form.clickAt(12, "pause");
    form.click("Go");
    EXPECT_EQ(form.runStarts(), 2);
    EXPECT_EQ(form.pumps(), 12);  // the outer run took no step after the inner one ended
    EXPECT_EQ(form.record().PauseMark, -1);
    // Each run keeps its own schedule: the outer run took 5 steps, the inner
    // one 7, so neither reached its step 10.
    EXPECT_EQ(form.plotRedraws(), 0);
    EXPECT_TRUE(form.errors().empty());
    EXPECT_EQ(form.view().image(), test::cleanRedraw(form.view(), form.record()));
}

TEST_F(RunTest, ThreeNestedRunsAndTheirPlotSchedules)
{
    form.clickAt(2, "Go");  // inner run from step 2 on
    form.clickAt(4, "Go");  // innermost from step 4 on
    form.clickAt(15, "pause");
    form.click("Go");
    EXPECT_EQ(form.runStarts(), 3);
    EXPECT_EQ(form.pumps(), 15);
    // Only the innermost run stepped after step 4: its step 10 is step 14.
    EXPECT_EQ(form.plotRedraws(), 1);
}

TEST_F(RunTest, InitializeDuringARunPutsTheParticlesBackAndTheRunGoesOn)
{
    form.at(4, [&] {
        form.setText("Rtxt", "0.02");
        form.click("Initialize");
    });
    form.clickAt(5, "pause");
    form.click("Go");
    EXPECT_EQ(form.pumps(), 5);
    EXPECT_EQ(form.record().R, 0.02f);
    // One step after the lattice start: particle 1 is within a step's drift
    // of its site (speeds stay well below 2 box lengths per unit time).
    EXPECT_NEAR(form.record().x[1], 1.0 / 30, 0.002);
    EXPECT_NEAR(form.record().y[1], 1.0 / 30, 0.002);
    // The step after the redraw erased every circle where it had just been
    // drawn, at the new radius: the view is clean.
    EXPECT_EQ(form.view().image(), test::cleanRedraw(form.view(), form.record()));
}

TEST_F(RunTest, EditedBoxesDuringARunChangeNothingVisibleAtOnce)
{
    form.at(3, [&] {
        form.setText("e0txt", "1e39");  // read at the next run only
        form.control<QWidget>("Thermostat")->setProperty("checked", false);
        form.setText("Tsolltxt", "abc");
    });
    form.clickAt(25, "pause");
    form.click("Go");
    EXPECT_EQ(form.pumps(), 25);
    EXPECT_TRUE(form.errors().empty());
    EXPECT_FALSE(readOut().isEmpty());
}

TEST_F(RunTest, OverflowInARunIsReportedAndTheRecordKeepsItsValues)
{
    form.setText("e0txt", "1e39");  // beyond single precision: infinite well depth
    const Record before = form.record();
    form.clickAt(50, "pause");
    form.click("Go");
    ASSERT_EQ(form.errors().size(), 1u);
    EXPECT_TRUE(form.errors()[0].startsWith("Overflow at step 1: the force between")) << qPrintable(form.errors()[0]);
    EXPECT_EQ(form.pumps(), 0);  // the first kick failed, before any drift
    for (int k = 1; k <= 225; ++k)
        ASSERT_EQ(form.record().x[k], before.x[k]) << k;

    // The window stays usable: a sensible e0 and the run goes.
    form.setText("e0txt", "0.2");
    form.clickAt(3, "pause");
    form.click("Go");
    EXPECT_EQ(form.pumps(), 3);
    EXPECT_EQ(form.errors().size(), 1u);
}

TEST_F(RunTest, ZeroRadiusDividesByZeroInTheFirstStep)
{
    form.setText("Rtxt", "0");
    form.click("Initialize");
    EXPECT_TRUE(form.errors().empty());
    form.clickAt(5, "pause");
    form.click("Go");
    ASSERT_EQ(form.errors().size(), 1u);
    EXPECT_EQ(form.errors()[0], "Division by zero at step 1: the bin of the distance between discs 2 and 1 with R = 0");
    EXPECT_EQ(form.pumps(), 0);
}

TEST_F(RunTest, SmallerRadiusFromAnInitializeDuringTheRunBinsPastTheHistogram)
{
    // Initialize at the end of the warm-up with R = 0.0004: the run takes the
    // new R at its next step, with a new warm-up, after which the farthest
    // pairs fall in bins above 20000; every pair is visited within the 20
    // steps that follow.
    form.at(200, [&] {
        form.setText("Rtxt", "0.0004");
        form.click("Initialize");
    });
    form.clickAt(600, "pause");
    form.click("Go");
    ASSERT_EQ(form.errors().size(), 1u);
    EXPECT_TRUE(form.errors()[0].startsWith("Index out of range at step 4")) << qPrintable(form.errors()[0]);
    EXPECT_TRUE(form.errors()[0].contains("lies beyond the histogram's 20000 bins (R = 0.0004"));
    EXPECT_GE(form.pumps(), 400);
    EXPECT_LT(form.pumps(), 420);
    EXPECT_EQ(form.record().R, 0.0004f);
}

TEST_F(RunTest, ErrorInANestedRunStaysInsideIt)
{
    form.at(3, [&] {
        form.setText("e0txt", "1e39");
        form.click("Go");  // the inner run fails at its first kick
    });
    form.clickAt(8, "pause");
    form.click("Go");
    ASSERT_EQ(form.errors().size(), 1u);
    // Its first step, the fourth behind the state.
    EXPECT_TRUE(form.errors()[0].startsWith("Overflow at step 1 of the run (4 in all): the force between"))
        << qPrintable(form.errors()[0]);
    EXPECT_EQ(form.runStarts(), 2);
    EXPECT_EQ(form.pumps(), 8);  // the outer run carried on to its Stop
}

TEST_F(RunTest, ErrorInInitializeDuringARunLeavesTheRunGoing)
{
    form.at(4, [&] {
        form.setText("Rtxt", "1e39");
        form.click("Initialize");
    });
    form.clickAt(6, "pause");
    form.click("Go");
    ASSERT_EQ(form.errors().size(), 1u);
    EXPECT_EQ(form.errors()[0], "Overflow: R = 1e+39 lies beyond single precision (3.4e+38)");
    EXPECT_EQ(form.pumps(), 6);
    EXPECT_EQ(form.record().R, 0.01f);
}

}  // namespace
}  // namespace ljgas
