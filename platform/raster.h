// Pixel rasterizers for the picture box: circle outlines, lines and points,
// written straight into the scanlines of a 32-bit RGB image and clipped to it.
#pragma once

#include <QImage>
#include <QRgb>

namespace ljgas {

// All coordinates are in pixels, a pixel's centre at whole numbers; they are
// rounded to the nearest pixel first, so equal arguments always set exactly
// the same pixels. The image must be in QImage::Format_RGB32. Pixels outside
// the image are left out; arguments that are infinite, NaN or too far out to
// touch the image draw nothing, and the work is bounded by the image's size,
// not by the arguments.

// The outline of a circle of radius r: for every column (and, on the steep
// sides, every row) the pixel nearest to the true circle. Symmetric under
// the eight reflections about the centre and 8-connected. A radius below one
// half is a single pixel; r <= 0 draws nothing, and so does a radius beyond
// 2^26 pixels.
void rasterCircle(QImage& image, double cx, double cy, double r, QRgb colour);

// Bresenham's line from (x0, y0) to (x1, y1), both ends included.
void rasterLine(QImage& image, double x0, double y0, double x1, double y1, QRgb colour);

// One pixel.
void rasterPoint(QImage& image, double x, double y, QRgb colour);

}  // namespace ljgas
