#include "ui/form/distribution_plot.h"

#include <cstdint>
#include <vector>

#include "engine/checked.h"
#include "engine/histogram.h"
#include "engine/record.h"
#include "platform/palette.h"
#include "platform/picture_box.h"

namespace ljgas {

namespace {

constexpr std::int16_t curveBins = 200;
constexpr int curveColour = 15;  // bright white
// Headroom above the highest point: it sits at 1/1.2 of the height.
constexpr double headroom = 1.2;

// g(1..200) as they are to be read (histogram.h): the single-precision bins,
// or their double sums once a long run has left single precision behind.
// Bins the record has not set up yet read as 0.
struct Curve {
    explicit Curve(const Record& rec) : shown(plottedBins(rec)) {}
    float operator[](int k) const
    {
        const auto index = static_cast<std::size_t>(k - 1);
        return index < shown.size() ? shown[index] : 0.0f;
    }
    std::vector<float> shown;
};

float height(const Curve& g, int k, float m) { return toSingle(divide(divide(g[k], m), headroom)); }

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
    const Curve g(rec);
    float m = 1.0f;
    for (std::int16_t k = 1; k <= curveBins; ++k) {
        if (g[k] > m)
            m = g[k];
    }
    plot.Cls();
    // The first point takes the box's fore colour; the segments are white.
    plot.PSet(1, height(g, 1, m));
    for (std::int16_t k = 2; k <= curveBins; ++k)
        plot.Line(static_cast<float>(k), height(g, k, m), QBColor(curveColour));
}

}  // namespace ljgas
