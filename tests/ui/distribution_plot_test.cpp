// The distribution plot: set-up, the flat warm-up line, the fixed scale
// while every entry is at most 1, the normalised curve under the 1/1.2
// ceiling, and the bins that do not count.
#include "ui/form/distribution_plot.h"

#include <cmath>

#include <gtest/gtest.h>

#include "engine/record.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::black;
using test::countPixels;
using test::white;

class DistributionPlotTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The plot's size in the window at 96 dpi: 337 x 281 pixels.
        plot.resize(twipsToPixels(5055, 96), twipsToPixels(4215, 96));
        plot.setBackColor(black);
        rec.nbins = 200;
    }

    int column(int k) const { return static_cast<int>(std::floor(plot.toPixel(k, 0).x() + 0.5)); }
    int row(double h) const { return static_cast<int>(std::floor(plot.toPixel(0, h).y() + 0.5)); }

    // Rows of the white pixels in one column.
    int topmostWhite(int x) const
    {
        for (int y = 0; y < plot.height(); ++y)
            if (plot.image().pixel(x, y) == white)
                return y;
        return -1;
    }

    PictureBox plot;
    Record rec;
};

TEST_F(DistributionPlotTest, SetUpScalesToTheBinsAndClears)
{
    plot.setForeColor(white);
    plot.PSet(10, 10);
    setUpPlot(plot, rec);
    EXPECT_EQ(countPixels(plot.image(), black), 337LL * 281);
    EXPECT_EQ(plot.toPixel(0, 1), QPointF(0, 0));
    EXPECT_EQ(plot.toPixel(200, 0), QPointF(336, 280));
}

TEST_F(DistributionPlotTest, AllZeroHistogramIsAFlatLineAlongTheBottom)
{
    setUpPlot(plot, rec);
    redrawPlot(plot, rec);
    const QImage& image = plot.image();
    // From bin 1 to bin 200 (the right edge), in the bottom row only.
    const int first = column(1);
    EXPECT_EQ(first, 2);
    for (int x = 0; x < image.width(); ++x)
        EXPECT_EQ(image.pixel(x, 280), x >= first ? white : black) << x;
    EXPECT_EQ(countPixels(image, white), image.width() - first);
}

TEST_F(DistributionPlotTest, EntriesUpToOneAreDrawnAtAFixedScale)
{
    rec.g[30] = 0.6f;
    rec.g[100] = 0.3f;
    setUpPlot(plot, rec);
    redrawPlot(plot, rec);
    // m = 1: bin 30 at 0.6 / 1.2 = 0.5, bin 100 at 0.25.
    EXPECT_EQ(topmostWhite(column(30)), row(0.5));
    EXPECT_EQ(row(0.5), 140);
    EXPECT_EQ(plot.image().pixel(column(100), row(0.25)), white);
    // Nothing above half height.
    for (int y = 0; y < row(0.5); ++y)
        for (int x = 0; x < plot.width(); ++x)
            ASSERT_EQ(plot.image().pixel(x, y), black);
}

TEST_F(DistributionPlotTest, LargestEntryIsPinnedAtFiveSixthsOfTheHeight)
{
    rec.g[32] = 3.0f;
    rec.g[60] = 1.5f;
    setUpPlot(plot, rec);
    redrawPlot(plot, rec);
    const int ceiling = row(1.0 / 1.2);
    EXPECT_EQ(ceiling, 47);  // (1 - 0.8333) * 280 = 46.67
    EXPECT_EQ(topmostWhite(column(32)), ceiling);
    EXPECT_EQ(plot.image().pixel(column(60), row(0.5 / 1.2)), white);  // 0.41666...
    // The top sixth stays empty.
    for (int y = 0; y < ceiling; ++y)
        for (int x = 0; x < plot.width(); ++x)
            ASSERT_EQ(plot.image().pixel(x, y), black) << x << "," << y;
}

TEST_F(DistributionPlotTest, BinsOutsideOneToTwoHundredDoNotScale)
{
    rec.g[0] = 50.0f;
    rec.g[201] = 1000.0f;
    rec.g[20000] = 7.0f;
    rec.g[50] = 0.6f;
    setUpPlot(plot, rec);
    redrawPlot(plot, rec);
    EXPECT_EQ(topmostWhite(column(50)), row(0.5));  // still m = 1
}

TEST_F(DistributionPlotTest, EachRedrawReplacesTheLastCurve)
{
    rec.g[30] = 0.6f;
    setUpPlot(plot, rec);
    redrawPlot(plot, rec);
    rec.g[30] = 0.0f;
    redrawPlot(plot, rec);
    EXPECT_EQ(countPixels(plot.image(), white), plot.width() - column(1));
}

TEST_F(DistributionPlotTest, FirstPointTakesTheForeColourUnderTheFirstSegment)
{
    // A one-bin curve would be just the point; with 200 bins the white
    // segment from bin 1 covers it, so no pixel keeps the fore colour.
    plot.setForeColor(0xFF00FF00u);
    setUpPlot(plot, rec);
    redrawPlot(plot, rec);
    EXPECT_EQ(countPixels(plot.image(), 0xFF00FF00u), 0);
    EXPECT_EQ(plot.image().pixel(column(1), 280), white);
}

}  // namespace
}  // namespace ljgas
