// The picture box: user coordinates, clearing, circles, points and lines in
// its own image, and the screen refresh that follows the drawing at its own
// pace.
#include "platform/picture_box.h"

#include <QApplication>
#include <QTest>
#include <cmath>

#include <gtest/gtest.h>

#include "platform/raster.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::black;
using test::countPixels;
using test::white;

constexpr QRgb red = 0xFFFF5555u;

class PictureBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        box.resize(201, 101);
        box.setBackColor(black);
    }
    PictureBox box;
};

TEST_F(PictureBoxTest, ScaleCornersFallOnTheCornerPixels)
{
    box.Scale(0, 1, 200, 0);  // y upward, as the plot sets it
    EXPECT_EQ(box.toPixel(0, 1), QPointF(0, 0));
    EXPECT_EQ(box.toPixel(200, 0), QPointF(200, 100));
    EXPECT_EQ(box.toPixel(100, 0.5), QPointF(100, 50));
    EXPECT_EQ(box.toPixel(0, 0), QPointF(0, 100));  // bottom-left

    box.Scale(0.01, 0.99, 0.99, 0.01);  // the particle view's square
    EXPECT_NEAR(box.toPixel(0.01, 0.01).y(), 100.0, 1e-9);
    EXPECT_NEAR(box.toPixel(0.99, 0.99).x(), 200.0, 1e-9);
    EXPECT_NEAR(box.toPixel(0.5, 0.5).x(), 100.0, 1e-9);
    EXPECT_NEAR(box.toPixel(0.5, 0.5).y(), 50.0, 1e-9);
}

TEST_F(PictureBoxTest, BeforeAnyScaleCoordinatesArePixels)
{
    box.PSet(7, 9);
    EXPECT_EQ(box.image().pixel(7, 9), box.ForeColor());
    EXPECT_EQ(box.toPixel(3.5, 4.25), QPointF(3.5, 4.25));
}

TEST_F(PictureBoxTest, ClsFillsWithTheBackColourAndResetsThePosition)
{
    box.Scale(0, 1, 200, 0);
    box.setForeColor(white);
    box.PSet(50, 0.5);
    EXPECT_EQ(box.CurrentX(), 50.0);
    EXPECT_EQ(box.CurrentY(), 0.5);
    box.Cls();
    EXPECT_EQ(countPixels(box.image(), black), 201 * 101);
    EXPECT_EQ(box.CurrentX(), 0.0);
    EXPECT_EQ(box.CurrentY(), 0.0);

    box.setBackColor(0x00123456u);  // no alpha given: stored opaque
    EXPECT_EQ(box.BackColor(), 0xFF123456u);
    EXPECT_EQ(countPixels(box.image(), 0xFF123456u), 201 * 101);
}

TEST_F(PictureBoxTest, PSetUsesTheForeColourAndLineStartsAtTheCurrentPosition)
{
    box.Scale(0, 1, 200, 0);
    EXPECT_EQ(box.ForeColor(), black);  // the default
    box.setForeColor(red);
    box.PSet(10, 0);  // bottom row
    EXPECT_EQ(box.image().pixel(10, 100), red);
    box.Line(20, 0, white);
    EXPECT_EQ(box.CurrentX(), 20.0);
    for (int x = 10; x <= 20; ++x)
        EXPECT_EQ(box.image().pixel(x, 100), white) << x;  // the segment covers its start
    box.Line(20, 1, white);                                // up the column to the top row
    for (int y = 0; y <= 100; ++y)
        EXPECT_EQ(box.image().pixel(20, y), white) << y;
    EXPECT_EQ(countPixels(box.image(), white), 11 + 100);
    EXPECT_EQ(countPixels(box.image(), red), 0);
}

TEST_F(PictureBoxTest, CircleRadiusIsInHorizontalUnitsAndRoundOnScreen)
{
    // 201 x 101 pixels for 1 x 1 units: the axes are stretched 2:1, the
    // circle is not. Radius 0.1 across = 20 pixels in both directions.
    box.Scale(0, 1, 1, 0);
    box.Circle(0.5, 0.5, 0.1, white);
    const QImage& image = box.image();
    EXPECT_EQ(image.pixel(100, 30), white);  // top
    EXPECT_EQ(image.pixel(100, 70), white);  // bottom
    EXPECT_EQ(image.pixel(80, 50), white);   // left
    EXPECT_EQ(image.pixel(120, 50), white);  // right
    EXPECT_EQ(countPixels(image, white), test::circlePixelCount(20.0));

    box.Circle(0.5, 0.5, 0.1, 0x00FF5555u);  // colour made opaque
    EXPECT_EQ(countPixels(box.image(), red), test::circlePixelCount(20.0));
    box.Circle(0.5, 0.5, 0.1, black);
    EXPECT_EQ(countPixels(box.image(), black), 201 * 101);
}

TEST_F(PictureBoxTest, DegenerateScaleDrawsNothing)
{
    box.Scale(0.5, 0.5, 0.5, 0.5);  // what R = 0.5 gives the particle view
    box.Circle(0.5, 0.5, 0.5, white);
    box.setForeColor(white);
    box.PSet(0.5, 0.5);
    box.Line(0.7, 0.2, white);
    box.Circle(0.5, 0.5, -0.1, white);
    EXPECT_EQ(countPixels(box.image(), white), 0);
    box.Scale(0, 1, 1, 0);  // usable again
    box.Circle(0.5, 0.5, 0.1, white);
    EXPECT_GT(countPixels(box.image(), white), 0);
}

TEST_F(PictureBoxTest, DrawingSurvivesHidingAndComesBackOnScreen)
{
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.Scale(0, 1, 1, 0);
    box.Circle(0.5, 0.5, 0.1, white);
    const QImage drawn = box.image();
    box.hide();
    QApplication::processEvents();
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.image(), drawn);
    // What the widget paints is the image.
    const QImage onScreen = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(onScreen, drawn);
}

TEST_F(PictureBoxTest, ResizingKeepsTheDrawingTopLeft)
{
    box.Circle(30, 30, 10, white);
    const long long before = countPixels(box.image(), white);
    box.resize(301, 151);
    EXPECT_EQ(box.image().size(), QSize(301, 151));
    EXPECT_EQ(countPixels(box.image(), white), before);
    EXPECT_EQ(box.image().pixel(30, 20), white);
    box.resize(25, 25);  // cuts the circle
    EXPECT_LT(countPixels(box.image(), white), before);
}

TEST_F(PictureBoxTest, ScreenIsRefreshedLaterNotByEachDrawingCall)
{
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.paintCount() > 0; }));
    QApplication::processEvents();
    const long long before = box.paintCount();

    box.Scale(0, 1, 1, 0);
    for (int i = 0; i < 1000; ++i)
        box.Circle(0.5, 0.5, 0.1, i % 2 ? black : white);
    // No paint from inside the drawing calls.
    EXPECT_EQ(box.paintCount(), before);
    // The refresh comes with event processing, once for all of them.
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.paintCount() > before; }));
    QApplication::processEvents();
    EXPECT_LE(box.paintCount() - before, 2);
}

TEST_F(PictureBoxTest, ImageCopiesDoNotSeeLaterDrawing)
{
    box.Scale(0, 1, 1, 0);
    const QImage copy = box.image();
    box.Circle(0.5, 0.5, 0.1, white);
    EXPECT_EQ(countPixels(copy, white), 0);
    EXPECT_GT(countPixels(box.image(), white), 0);
}

}  // namespace
}  // namespace ljgas
