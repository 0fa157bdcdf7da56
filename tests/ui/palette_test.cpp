// The 16-colour palette by index: the three colours the drawing names, the
// layout of the rest, and the indexes that do not exist.
#include "platform/palette.h"

#include <set>
#include <stdexcept>

#include <gtest/gtest.h>

namespace ljgas {
namespace {

TEST(Palette, TheColoursTheDrawingUses)
{
    EXPECT_EQ(QBColor(0), 0xFF000000u);   // black: erasing, the backgrounds
    EXPECT_EQ(QBColor(12), 0xFFFF5555u);  // light red: particle 1
    EXPECT_EQ(QBColor(15), 0xFFFFFFFFu);  // bright white: the others, the curve
}

TEST(Palette, EightDimColoursThenTheirBrightCounterparts)
{
    std::set<QRgb> all;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(qAlpha(QBColor(i)), 255) << i;
        all.insert(QBColor(i));
    }
    EXPECT_EQ(all.size(), 16u);
    // The bright half has a component wherever its dim partner has one
    // (dark grey is the bright black); brown is the one dim colour whose
    // green is halved.
    for (int i = 1; i < 8; ++i) {
        const QRgb dim = QBColor(i);
        const QRgb bright = QBColor(i + 8);
        EXPECT_EQ(qRed(dim) != 0, qRed(bright) == 0xFF) << i;
        EXPECT_EQ(qBlue(dim) != 0, qBlue(bright) == 0xFF) << i;
    }
    EXPECT_EQ(QBColor(6), 0xFFAA5500u);
    EXPECT_EQ(QBColor(8), 0xFF555555u);
    EXPECT_EQ(QBColor(7), 0xFFAAAAAAu);
}

TEST(Palette, IndexesOutsideZeroToFifteenThrow)
{
    EXPECT_THROW(QBColor(-1), std::out_of_range);
    EXPECT_THROW(QBColor(16), std::out_of_range);
    EXPECT_NO_THROW(QBColor(15));
}

}  // namespace
}  // namespace ljgas
