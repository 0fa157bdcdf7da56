#include "distribution_plot.h"

#include <cstdint>

#include "engine/checked.h"
#include "engine/record.h"
#include "platform/palette.h"
#include "platform/picture_box.h"

namespace ljgas {

namespace {

constexpr std::int16_t plottedBins = 200;
constexpr int curveColour = 15;  // bright white
// Headroom above the highest point: it sits at 1/1.2 of the height.
constexpr double headroom = 1.2;

float height(const Record& rec, int k, float m)
{
    return toSingle(divide(divide(rec.g[k], m), headroom));
}

}  // namespace

void setUpPlot(PictureBox& plot, const Record& rec)
{
    const std::int16_t left = 0;
    const std::int16_t top = 1;
    const std::int16_t right = rec.nbins;
    const std::int16_t bottom = 0;
    plot.Scale(left, top, right, bottom);
    plot.Cls();
}

void redrawPlot(PictureBox& plot, const Record& rec)
{
    // m never drops below 1: while every entry is small the curve is drawn
    // at a fixed scale and grows from one redraw to the next; once an entry
    // passes 1 the curve is normalised to it.
    float m = 1.0f;
    for (std::int16_t k = 1; k <= plottedBins; ++k) {
        if (rec.g[k] > m)
            m = rec.g[k];
    }
    plot.Cls();
    // The first point takes the box's fore colour; the segments are white.
    plot.PSet(1, height(rec, 1, m));
    for (std::int16_t k = 2; k <= plottedBins; ++k)
        plot.Line(static_cast<float>(k), height(rec, k, m), QBColor(curveColour));
}

}  // namespace ljgas
