// The rasterizers: exact circle outlines, their symmetry and connectivity,
// the stencil against the reference outline, erasing, clipping, lines and
// points.
#include "platform/raster.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::black;
using test::countPixels;
using test::white;

using PixelSet = std::set<std::pair<int, int>>;

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(black);
    return image;
}

PixelSet pixelsOf(const QImage& image, QRgb colour)
{
    PixelSet set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                set.emplace(x, y);
    return set;
}

// Offsets of a circle's pixels from a centre at (cx, cy).
PixelSet offsets(const PixelSet& pixels, int cx, int cy)
{
    PixelSet out;
    for (const auto& [x, y] : pixels)
        out.emplace(x - cx, y - cy);
    return out;
}

TEST(RasterCircle, SmallRadiiSetTheseExactPixels)
{
    QImage one = blank(9, 9);
    rasterCircle(one, 4, 4, 1.0, white);
    EXPECT_EQ(offsets(pixelsOf(one, white), 4, 4), (PixelSet{{0, -1}, {-1, 0}, {1, 0}, {0, 1}}));

    QImage two = blank(9, 9);
    rasterCircle(two, 4, 4, 2.0, white);
    EXPECT_EQ(
        offsets(pixelsOf(two, white), 4, 4),
        (PixelSet{
            {-1, -2}, {0, -2}, {1, -2}, {-2, -1}, {2, -1}, {-2, 0}, {2, 0}, {-2, 1}, {2, 1}, {-1, 2}, {0, 2}, {1, 2}}));

    // Below half a pixel the outline is the centre pixel alone.
    QImage dot = blank(9, 9);
    rasterCircle(dot, 4, 4, 0.3, white);
    EXPECT_EQ(pixelsOf(dot, white), (PixelSet{{4, 4}}));
}

TEST(RasterCircle, CentreAndRadiusRoundToWholePixels)
{
    QImage a = blank(21, 21);
    QImage b = blank(21, 21);
    rasterCircle(a, 10.0, 10.0, 5.0, white);
    rasterCircle(b, 10.49, 9.5, 5.4, white);  // 9.5 rounds up to 10
    EXPECT_EQ(a, b);
    QImage c = blank(21, 21);
    rasterCircle(c, 10.5, 10.0, 5.0, white);  // 10.5 rounds up to 11
    EXPECT_EQ(offsets(pixelsOf(c, white), 11, 10), offsets(pixelsOf(a, white), 10, 10));
}

TEST(RasterCircle, OutlineIsSymmetricConnectedAndOnTheCircle)
{
    for (int r = 1; r <= 60; ++r) {
        SCOPED_TRACE(r);
        const int side = 2 * r + 5;
        const int c = side / 2;
        QImage image = blank(side, side);
        rasterCircle(image, c, c, r, white);
        const PixelSet set = offsets(pixelsOf(image, white), c, c);
        for (const auto& [x, y] : set) {
            // The eight reflections about the centre.
            for (const auto& [u, v] : {std::pair{-x, y}, {x, -y}, {-x, -y}, {y, x}, {-y, x}, {y, -x}, {-y, -x}})
                ASSERT_TRUE(set.count({u, v})) << x << "," << y;
            // Within half a pixel (plus the diagonal slack) of the true circle.
            EXPECT_LT(std::fabs(std::hypot(x, y) - r), 0.75) << x << "," << y;
            // 8-connected: every pixel of a closed curve has two neighbours.
            int neighbours = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    neighbours += (dx || dy) && set.count({x + dx, y + dy}) ? 1 : 0;
            EXPECT_GE(neighbours, 2) << x << "," << y;
        }
        // One pixel per column across the flat top, as near the circle as
        // any in that column.
        for (int x = -r / 2; x <= r / 2; ++x) {
            int inColumn = 0;
            for (int y = -r - 1; y < 0; ++y)
                inColumn += set.count({x, y}) ? 1 : 0;
            EXPECT_EQ(inColumn, 1) << "column " << x;
        }
    }
}

TEST(RasterCircle, DrawsNothingForUnusableArguments)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QImage image = blank(40, 40);
    rasterCircle(image, 20, 20, 0.0, white);
    rasterCircle(image, 20, 20, -3.0, white);
    rasterCircle(image, 20, 20, nan, white);
    rasterCircle(image, nan, 20, 5.0, white);
    rasterCircle(image, 20, inf, 5.0, white);
    rasterCircle(image, 20, 20, inf, white);
    rasterCircle(image, 20, 20, 1e9, white);     // beyond 2^26 pixels
    rasterCircle(image, 1e300, 20, 5.0, white);  // far outside
    rasterCircle(image, 100, 20, 5.0, white);    // misses the image
    rasterCircle(image, 20, 20, 100.0, white);   // the image lies inside
    EXPECT_EQ(countPixels(image, white), 0);

    QImage other(40, 40, QImage::Format_ARGB32);  // not the supported format
    other.fill(black);
    rasterCircle(other, 20, 20, 5.0, white);
    EXPECT_EQ(countPixels(other, white), 0);
}

TEST(RasterCircle, HugeCircleThroughTheImageIsClipped)
{
    // Radius 10^6 pixels, centre far to the left: the arc crosses the image
    // as a nearly vertical line at x = 10.
    QImage image = blank(20, 20);
    rasterCircle(image, 10.0 - 1e6, 10.0, 1e6, white);
    const PixelSet set = pixelsOf(image, white);
    EXPECT_EQ(set.size(), 20u);
    for (const auto& [x, y] : set)
        EXPECT_EQ(x, 10);
}

TEST(RasterCircle, EraseInBlackRemovesExactlyWhatTheDrawSet)
{
    QImage image = blank(60, 60);
    rasterCircle(image, 25, 30, 9.0, white);
    const PixelSet second = pixelsOf(image, white);
    rasterCircle(image, 32, 30, 9.0, 0xFFFF5555u);  // overlaps the first
    rasterCircle(image, 32, 30, 9.0, black);
    // The shared pixels were blackened too; nothing else changed.
    PixelSet left = pixelsOf(image, white);
    QImage alone = blank(60, 60);
    rasterCircle(alone, 32, 30, 9.0, white);
    const PixelSet shared = pixelsOf(alone, white);
    for (const auto& p : second)
        EXPECT_EQ(left.count(p), shared.count(p) ? 0u : 1u);
    EXPECT_EQ(countPixels(image, 0xFFFF5555u), 0);
    rasterCircle(image, 25, 30, 9.0, black);
    EXPECT_EQ(countPixels(image, black), 60 * 60);
}

TEST(CircleStencil, SetsExactlyThePixelsOfTheReferenceOutline)
{
    // Whole, clipped at every edge and corner, just outside, and with
    // centres on the rounding ties; radii across the stencil's range.
    const std::vector<std::pair<double, double>> centres = {
        {20, 15}, {0, 0}, {-3, 10}, {39, 29}, {42.4, 31.6}, {20.5, -2.5}, {-9.5, 14.49}, {55, 15}, {20, -60}};
    CircleStencil stencil;
    for (double r : {0.3, 0.5, 1.0, 1.49, 2.0, 3.0, 6.0, 6.29, 7.5, 12.0, 25.0, 44.0}) {
        for (const auto& [cx, cy] : centres) {
            SCOPED_TRACE(testing::Message() << "r=" << r << " at " << cx << "," << cy);
            QImage reference = blank(40, 30);
            QImage stencilled = blank(40, 30);
            rasterCircle(reference, cx, cy, r, white);
            stencil.draw(pixelTarget(stencilled), cx, cy, r, white);
            ASSERT_EQ(stencilled, reference);
        }
    }
}

TEST(CircleStencil, KeepsOneRadiusAndRebuildsForAnother)
{
    CircleStencil stencil;
    QImage image = blank(64, 64);
    const PixelTarget target = pixelTarget(image);
    stencil.draw(target, 32, 32, 6.0, white);
    EXPECT_EQ(static_cast<long long>(stencil.pixelCount()), test::circlePixelCount(6.0));
    EXPECT_EQ(countPixels(image, white), test::circlePixelCount(6.0));
    stencil.draw(target, 32, 32, 6.0, black);
    EXPECT_EQ(countPixels(image, white), 0);
    stencil.draw(target, 32, 32, 20.0, white);
    EXPECT_EQ(countPixels(image, white), test::circlePixelCount(20.0));
    // An image with another scanline length gets offsets of its own.
    QImage wide = blank(301, 40);
    stencil.draw(pixelTarget(wide), 150, 20, 6.0, white);
    QImage reference = blank(301, 40);
    rasterCircle(reference, 150, 20, 6.0, white);
    EXPECT_EQ(wide, reference);
}

TEST(CircleStencil, LargeRadiusIsHandedToTheReferenceOutline)
{
    QImage a = blank(50, 50);
    QImage b = blank(50, 50);
    CircleStencil stencil;
    stencil.draw(pixelTarget(a), 25.0 - 5000.0, 25.0, 5000.0, white);
    rasterCircle(b, 25.0 - 5000.0, 25.0, 5000.0, white);
    EXPECT_EQ(a, b);
    EXPECT_GT(countPixels(a, white), 0);
}

TEST(PixelTargetOf, DetachesSharedImages)
{
    QImage image = blank(10, 10);
    const QImage copy = image;
    rasterCircle(image, 5, 5, 2.0, white);
    EXPECT_EQ(countPixels(copy, white), 0);
    EXPECT_EQ(countPixels(image, white), 12);
    QImage null;
    EXPECT_EQ(pixelTarget(null).bits, nullptr);
}

TEST(RasterLine, IncludesBothEndsAndStepsOnePixelAtATime)
{
    QImage image = blank(30, 20);
    rasterLine(image, 2, 3, 12, 3, white);  // horizontal
    EXPECT_EQ(pixelsOf(image, white).size(), 11u);
    EXPECT_EQ(image.pixel(2, 3), white);
    EXPECT_EQ(image.pixel(12, 3), white);

    QImage diagonal = blank(30, 20);
    rasterLine(diagonal, 1, 1, 8, 8, white);
    PixelSet expected;
    for (int i = 1; i <= 8; ++i)
        expected.emplace(i, i);
    EXPECT_EQ(pixelsOf(diagonal, white), expected);

    // A steep line has one pixel per row, and the direction does not matter.
    QImage up = blank(30, 20);
    QImage down = blank(30, 20);
    rasterLine(up, 5, 18, 9, 2, white);
    rasterLine(down, 9, 2, 5, 18, white);
    const PixelSet steep = pixelsOf(up, white);
    EXPECT_EQ(steep.size(), 17u);
    for (int y = 2; y <= 18; ++y)
        EXPECT_EQ(std::count_if(steep.begin(), steep.end(), [y](const auto& p) { return p.second == y; }), 1);
    EXPECT_EQ(pixelsOf(down, white).size(), 17u);

    QImage point = blank(5, 5);
    rasterLine(point, 2, 2, 2, 2, white);
    EXPECT_EQ(pixelsOf(point, white), (PixelSet{{2, 2}}));
}

TEST(RasterLine, ClipsFarEndsAndIgnoresUnusableOnes)
{
    QImage image = blank(20, 10);
    rasterLine(image, -1e12, 5, 1e12, 5, white);  // crosses the whole image
    EXPECT_EQ(pixelsOf(image, white).size(), 20u);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(image.pixel(x, 5), white);

    QImage none = blank(20, 10);
    rasterLine(none, 0, 0, std::numeric_limits<double>::quiet_NaN(), 5, white);
    rasterLine(none, 0, 0, std::numeric_limits<double>::infinity(), 5, white);
    rasterLine(none, -1e12, -1e12, -1e12 + 5, 1e12, white);  // passes left of it
    EXPECT_EQ(countPixels(none, white), 0);
}

TEST(RasterPoint, RoundsToTheNearestPixelAndClips)
{
    QImage image = blank(10, 10);
    rasterPoint(image, 3.49, 4.5, white);  // (3, 5)
    rasterPoint(image, -0.5, 0.2, white);  // (0, 0): -0.5 rounds up
    rasterPoint(image, 10.0, 2.0, white);  // just outside
    rasterPoint(image, std::numeric_limits<double>::quiet_NaN(), 2.0, white);
    EXPECT_EQ(pixelsOf(image, white), (PixelSet{{3, 5}, {0, 0}}));
}

}  // namespace
}  // namespace ljgas
