// The particle view: the full redraw after a lattice start, the colours by
// index, erase-then-draw leaving no trace, the moving path's left-out
// erases, and circles cut by the view's edges.
#include "ui/form/particle_view.h"

#include <cmath>

#include <gtest/gtest.h>

#include "engine/drift.h"
#include "engine/lattice.h"
#include "engine/record.h"
#include "engine/run_params.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "runtime/random_sequence.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::black;
using test::countPixels;
using test::lightRed;
using test::pixelAt;
using test::white;

class ParticleViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The view's size in the window at 96 dpi.
        view.resize(twipsToPixels(9255, 96), twipsToPixels(8535, 96));
        view.setBackColor(black);
        initializeLattice(rec, 0.01f, random);
    }

    // The circle's radius in pixels: R across the view's R..1-R.
    double radiusPixels() const { return rec.R * (view.width() - 1) / (static_cast<double>(1.0f - rec.R) - rec.R); }

    // The topmost pixel of particle k's outline.
    QRgb topOf(int k) const
    {
        const QPointF c = view.toPixel(rec.x[k], rec.y[k]);
        const int x = static_cast<int>(std::floor(c.x() + 0.5));
        const int y = static_cast<int>(std::floor(c.y() + 0.5)) - static_cast<int>(std::floor(radiusPixels() + 0.5));
        return view.image().pixel(x, y);
    }

    PictureBox view;
    Record rec;
    RandomSequence random;
};

TEST_F(ParticleViewTest, FullRedrawShowsTwoHundredTwentyFiveCircles)
{
    redrawParticles(view, rec);
    const long long perCircle = test::circlePixelCount(radiusPixels());
    ASSERT_GT(perCircle, 20);
    // No two lattice circles touch and none reaches an edge, so the count
    // is exact: 224 white outlines and one light red one.
    EXPECT_EQ(countPixels(view.image(), white), 224 * perCircle);
    EXPECT_EQ(countPixels(view.image(), lightRed), perCircle);
    for (int k = 1; k <= 225; ++k)
        EXPECT_EQ(topOf(k), k == 1 ? lightRed : white) << k;
}

TEST_F(ParticleViewTest, RedParticleOneAtTheLowerLeftSiteAndFifteenAtTheUpperLeft)
{
    redrawParticles(view, rec);
    EXPECT_FLOAT_EQ(rec.x[1], 1.0f / 30);
    EXPECT_FLOAT_EQ(rec.y[1], 1.0f / 30);
    EXPECT_FLOAT_EQ(rec.x[15], 1.0f / 30);
    EXPECT_FLOAT_EQ(rec.y[15], 29.0f / 30);
    // y grows upward: particle 1 is near the bottom of the image.
    const QPointF one = view.toPixel(rec.x[1], rec.y[1]);
    const QPointF fifteen = view.toPixel(rec.x[15], rec.y[15]);
    EXPECT_GT(one.y(), view.height() * 0.9);
    EXPECT_LT(fifteen.y(), view.height() * 0.1);
    EXPECT_LT(one.x(), view.width() * 0.1);
    EXPECT_EQ(topOf(1), lightRed);
    EXPECT_EQ(topOf(15), white);
    // The centre of a circle stays background: outlines, not discs.
    EXPECT_EQ(pixelAt(view, rec.x[1], rec.y[1]), black);
}

TEST_F(ParticleViewTest, ScaleIsTheSquareShrunkByROnEverySide)
{
    redrawParticles(view, rec);
    const float low = rec.R;          // 0.01
    const float high = 1.0f - rec.R;  // 0.99, rounded to single
    EXPECT_EQ(view.toPixel(low, high), QPointF(0, 0));
    EXPECT_NEAR(view.toPixel(high, low).x(), view.width() - 1.0, 1e-9);
    EXPECT_NEAR(view.toPixel(high, low).y(), view.height() - 1.0, 1e-9);
    // The unit square's corners lie outside the view by R.
    EXPECT_LT(view.toPixel(0, 1).x(), -5.0);
    EXPECT_LT(view.toPixel(0, 1).y(), -5.0);
}

TEST_F(ParticleViewTest, EraseRestoresBlackExactly)
{
    redrawParticles(view, rec);
    for (int k = 1; k <= rec.n; ++k)
        eraseParticle(view, rec, k);
    EXPECT_EQ(countPixels(view.image(), black), static_cast<long long>(view.width()) * view.height());
}

TEST_F(ParticleViewTest, EraseDriftDrawLeavesWhatACleanRedrawShows)
{
    redrawParticles(view, rec);
    for (int step = 0; step < 3; ++step) {
        for (int k = 1; k <= rec.n; ++k) {
            eraseParticle(view, rec, k);
            rec.x[k] = static_cast<float>(rec.x[k] + 0.004);  // far enough to move whole pixels
            rec.y[k] = static_cast<float>(rec.y[k] - 0.003);
            drawParticle(view, rec, k);
        }
    }
    EXPECT_EQ(view.image(), test::cleanRedraw(view, rec));
}

// Overlapping discs, a third of a pixel a step, some across the edges: the
// erases left out change no pixel.
TEST_F(ParticleViewTest, MovingParticlesSetThePixelsOfEraseDriftDraw)
{
    initializeLattice(rec, 0.04f, random);
    PictureBox moved;
    moved.resize(view.size());
    redrawParticles(view, rec);
    redrawParticles(moved, rec);
    MovingParticles moving(moved);
    for (int step = 0; step < 100; ++step) {
        for (int k = 1; k <= rec.n; ++k) {
            eraseParticle(view, rec, k);
            moving.erase(rec, k);
            driftAndWrap(rec, k, TimeStep);
            drawParticle(view, rec, k);
            moving.draw(rec, k);
        }
    }
    EXPECT_EQ(moved.image(), view.image());
    EXPECT_NE(view.image(), test::cleanRedraw(view, rec));  // erases cut into overlapping neighbours
}

TEST_F(ParticleViewTest, CircleCentredOutsideTheLeftEdgeShowsOnlyItsRightPart)
{
    redrawParticles(view, rec);
    view.Cls();
    rec.x[2] = 0.005f;  // left of the view's edge at x = R
    rec.y[2] = 0.5f;
    drawParticle(view, rec, 2);
    const long long shown = countPixels(view.image(), white);
    const long long whole = test::circlePixelCount(radiusPixels());
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, whole / 2);  // the centre lies left of the edge
    // The rightmost point of the circle is on view, in the row of the centre.
    EXPECT_EQ(pixelAt(view, 0.005 + rec.R, 0.5), white);
    eraseParticle(view, rec, 2);
    EXPECT_EQ(countPixels(view.image(), white), 0);

    // On the edge of the view the circle is cut in half.
    rec.x[3] = rec.R;
    rec.y[3] = 0.5f;
    drawParticle(view, rec, 3);
    const long long half = countPixels(view.image(), white);
    EXPECT_GT(half, whole / 2 - 2);
    EXPECT_LT(half, whole / 2 + 4);
}

TEST_F(ParticleViewTest, WrapFromTheRightEdgeToTheLeftInOneStep)
{
    redrawParticles(view, rec);
    view.Cls();
    rec.x[5] = 0.9995f;
    rec.y[5] = 0.5f;
    drawParticle(view, rec, 5);
    eraseParticle(view, rec, 5);
    rec.x[5] = 0.0005f;  // after the wrap: mostly cut off at the left edge
    drawParticle(view, rec, 5);
    const QImage& image = view.image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 2; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), black) << x << "," << y;
    EXPECT_GT(countPixels(image, white), 0);
}

TEST_F(ParticleViewTest, ErasingOneOfTwoOverlappingCirclesLeavesAGapInTheOther)
{
    view.Scale(rec.R, 1.0f - rec.R, 1.0f - rec.R, rec.R);
    view.Cls();
    rec.x[2] = 0.5f, rec.y[2] = 0.5f;
    rec.x[3] = 0.5016f, rec.y[3] = 0.5f;  // about one pixel to the right
    drawParticle(view, rec, 2);
    drawParticle(view, rec, 3);
    const long long both = countPixels(view.image(), white);
    eraseParticle(view, rec, 3);
    const long long gap = test::circlePixelCount(radiusPixels()) - countPixels(view.image(), white);
    EXPECT_GT(gap, 0);  // the shared pixels went black with the erase
    drawParticle(view, rec, 3);
    EXPECT_EQ(countPixels(view.image(), white), both);
    drawParticle(view, rec, 2);  // drawn again: the gap is closed
    eraseParticle(view, rec, 3);
    drawParticle(view, rec, 2);
    EXPECT_EQ(countPixels(view.image(), white), test::circlePixelCount(radiusPixels()));
}

TEST_F(ParticleViewTest, NewRadiusRescalesAndResizesTogether)
{
    redrawParticles(view, rec);
    const double small = radiusPixels();
    initializeLattice(rec, 0.02f, random);
    redrawParticles(view, rec);
    const double large = radiusPixels();
    EXPECT_NEAR(large / small, 2.0 * (0.98 / 0.96), 1e-3);
    EXPECT_NEAR(view.toPixel(0.02, 0.98).x(), 0.0, 1e-6);
    EXPECT_EQ(topOf(113), white);  // the middle of the lattice
    // The sites 1/30 from the edges are now cut by the wider margin.
    const long long red = countPixels(view.image(), lightRed);
    EXPECT_GT(red, 0);
    EXPECT_LT(red, test::circlePixelCount(large));
}

TEST_F(ParticleViewTest, EmptyRecordRedrawsToABlackView)
{
    Record empty;
    view.Circle(100, 100, 10, white);  // pixel coordinates before any Scale
    redrawParticles(view, empty);      // n = 0, R = 0: clears, draws nothing
    EXPECT_EQ(countPixels(view.image(), black), static_cast<long long>(view.width()) * view.height());
}

}  // namespace
}  // namespace ljgas
