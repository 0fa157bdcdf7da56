// Pixel rasterizers for the picture box: circle outlines, lines and points,
// written straight into the scanlines of a 32-bit RGB image and clipped to it.
#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <vector>

namespace ljgas {

// Coordinates in pixels, centres at whole numbers, rounded to the nearest
// pixel first, so equal arguments set exactly the same pixels. Pixels outside
// the image are left out; arguments that are NaN or too far out draw
// nothing, and the work is bounded by the image's size.

// The scanlines of an RGB32 image. Taking it detaches the image, so the
// writes never reach a shared copy; another format gives an empty target.
struct PixelTarget {
    QRgb* bits = nullptr;
    std::int64_t stride = 0;  // pixels from one scanline to the next
    std::int64_t width = 0;
    std::int64_t height = 0;
};
PixelTarget pixelTarget(QImage& image);

// The outline of a circle of radius r: for every column (every row on the
// steep sides) the pixel nearest to the true circle, symmetric under the
// eight reflections and 8-connected. Below one half a single pixel; r <= 0
// or beyond 2^26 pixels draws nothing.
void rasterCircle(QImage& image, double cx, double cy, double r, QRgb colour);
void rasterCircle(const PixelTarget& target, double cx, double cy, double r, QRgb colour);

// The same pixels from a stencil of offsets kept for the last radius: a run
// draws every particle twice per step, all with one radius, so each circle
// is a few dozen stores. Radii beyond stencilLimit go to rasterCircle.
class CircleStencil {
public:
    static constexpr std::int64_t stencilLimit = 4096;

    void draw(const PixelTarget& target, double cx, double cy, double r, QRgb colour);

    // Pixels of the outline of the radius drawn last (after rounding).
    std::size_t pixelCount() const { return dx_.size(); }

private:
    void build(std::int64_t radius);
    void linearise(std::int64_t stride);

    std::int64_t radius_ = -1;
    std::vector<std::int32_t> dx_;  // offsets of the outline's pixels, each pixel once
    std::vector<std::int32_t> dy_;
    std::int64_t stride_ = 0;           // the scanline length linear_ was made for
    std::vector<std::int64_t> linear_;  // dy * stride + dx
};

// Bresenham's line from (x0, y0) to (x1, y1), both ends included.
void rasterLine(QImage& image, double x0, double y0, double x1, double y1, QRgb colour);

// One pixel.
void rasterPoint(QImage& image, double x, double y, QRgb colour);

}  // namespace ljgas
