// Twips and pixels, and the centring arithmetic of the start-up.
#include "platform/twips.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace ljgas {
namespace {

TEST(Twips, FifteenTwipsPerPixelAtNinetySixDpi)
{
    EXPECT_EQ(twipsToPixels(15, 96), 1);
    EXPECT_EQ(twipsToPixels(14460, 96), 964);  // the client area
    EXPECT_EQ(twipsToPixels(8580, 96), 572);
    EXPECT_EQ(twipsToPixels(9255, 96), 617);  // the particle view
    EXPECT_EQ(twipsToPixels(8535, 96), 569);
    EXPECT_EQ(pixelsToTwips(964, 96), 14460.0f);
    EXPECT_EQ(pixelsToTwips(1280, 96), 19200.0f);
    EXPECT_EQ(pixelsToTwips(1024, 96), 15360.0f);
}

TEST(Twips, ScaleWithTheScreensDpi)
{
    EXPECT_EQ(twipsToPixels(14460, 120), 1205);
    EXPECT_EQ(twipsToPixels(8580, 120), 715);
    EXPECT_EQ(twipsToPixels(14460, 192), 1928);
    EXPECT_EQ(twipsToPixels(1455, 144), 146);  // 145.5 rounds away from zero
    EXPECT_FLOAT_EQ(pixelsToTwips(1205, 120), 14460.0f);
}

TEST(Twips, HalvesRoundAwayFromZeroAndNonsenseGivesZero)
{
    EXPECT_EQ(twipsToPixels(7.5, 96), 1);
    EXPECT_EQ(twipsToPixels(-7.5, 96), -1);
    EXPECT_EQ(twipsToPixels(7.4, 96), 0);
    EXPECT_EQ(twipsToPixels(-2310, 96), -154);
    EXPECT_EQ(twipsToPixels(std::numeric_limits<double>::quiet_NaN(), 96), 0);
    EXPECT_EQ(twipsToPixels(std::numeric_limits<double>::infinity(), 96), 0);
    EXPECT_EQ(twipsToPixels(1e30, 96), 0);
}

TEST(Centring, ExampleScreenOf1280By1024)
{
    // Outer window 14580 x 9090 twips on 19200 x 15360.
    const WindowOrigin o = centredOrigin(19200, 15360, 14580, 9090);
    EXPECT_EQ(o.Left, 2310.0f);
    EXPECT_EQ(o.Top, 3135.0f);
    EXPECT_EQ(twipsToPixels(o.Left, 96), 154);
    EXPECT_EQ(twipsToPixels(o.Top, 96), 209);
}

TEST(Centring, HalvesAreKept)
{
    const WindowOrigin o = centredOrigin(19201, 15361, 14580, 9090);
    EXPECT_EQ(o.Left, 2310.5f);
    EXPECT_EQ(o.Top, 3135.5f);
}

TEST(Centring, NarrowScreenGivesNegativeLeftAndEqualOverhangs)
{
    // 640 x 480 pixels: 9600 x 7200 twips, smaller than the window.
    const float w = 14580;
    const float h = 9090;
    const WindowOrigin o = centredOrigin(9600, 7200, w, h);
    EXPECT_EQ(o.Left, -2490.0f);
    EXPECT_EQ(o.Top, -945.0f);
    // Left overhang equals right overhang.
    EXPECT_EQ(-o.Left, (o.Left + w) - 9600.0f);
    EXPECT_EQ(-o.Top, (o.Top + h) - 7200.0f);
}

}  // namespace
}  // namespace ljgas
