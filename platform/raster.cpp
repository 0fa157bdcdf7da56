#include "raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ljgas {

namespace {

using i64 = std::int64_t;

// Radii above this are left undrawn: 4 r^2 must stay exact in 64 bits.
constexpr double maxRadius = 67108864.0;  // 2^26

// Lines with ends this near the image are drawn whole, so their pixels never
// depend on the box; farther ones are clipped in floating point first.
constexpr double nearRange = 1048576.0;  // 2^20

// Bounds-checked writes into a pixel target.
class Pixels {
public:
    explicit Pixels(const PixelTarget& target) : t_(target) {}

    i64 width() const { return t_.width; }
    i64 height() const { return t_.height; }

    void put(i64 x, i64 y, QRgb colour)
    {
        if (x >= 0 && x < t_.width && y >= 0 && y < t_.height)
            t_.bits[y * t_.stride + x] = colour;
    }

private:
    const PixelTarget& t_;
};

bool usable(const QImage& image) { return !image.isNull() && image.format() == QImage::Format_RGB32; }

bool usable(const PixelTarget& target) { return target.bits != nullptr && target.width > 0 && target.height > 0; }

i64 roundToPixel(double v) { return static_cast<i64>(std::floor(v + 0.5)); }

// floor(t) for |t| < 2^53, without a call into the maths library: the
// conversion truncates towards zero, one less below zero unless exact.
i64 floorSmall(double t)
{
    const i64 i = static_cast<i64>(t);
    return i - (t < static_cast<double>(i) ? 1 : 0);
}

// Centres this far out, in pixels, are left undrawn by the stencil.
constexpr double farCentre = 4.0e15;

// floor(sqrt(s)) for 0 <= s <= 2^54, exact.
i64 isqrt(i64 s)
{
    i64 y = static_cast<i64>(std::sqrt(static_cast<double>(s)));
    while (y * y > s)
        --y;
    while ((y + 1) * (y + 1) <= s)
        ++y;
    return y;
}

// The outline's offset from the centre across the axis, at offset x along it
// (0 <= x <= r): the integer nearest to sqrt(r^2 - x^2). The largest y with
// y - 1/2 <= sqrt(r^2 - x^2) is (isqrt(4 (r^2 - x^2)) + 1) / 2; a tie cannot
// occur, since 4 (r^2 - x^2) is never an odd square.
i64 arcHeight(i64 r, i64 x) { return (isqrt(4 * (r * r - x * x)) + 1) / 2; }

// The last offset x of the flat octant (x <= arcHeight(r, x)); beyond it the
// outline is steep and is drawn row by row.
i64 octantEnd(i64 r)
{
    i64 x = static_cast<i64>(static_cast<double>(r) / std::sqrt(2.0));
    while (x + 1 <= r && x + 1 <= arcHeight(r, x + 1))
        ++x;
    while (x > 0 && x > arcHeight(r, x))
        --x;
    return x;
}

void bresenham(Pixels& px, i64 x0, i64 y0, i64 x1, i64 y1, QRgb colour)
{
    const i64 dx = x1 > x0 ? x1 - x0 : x0 - x1;
    const i64 dy = -(y1 > y0 ? y1 - y0 : y0 - y1);
    const i64 sx = x0 < x1 ? 1 : -1;
    const i64 sy = y0 < y1 ? 1 : -1;
    i64 err = dx + dy;
    for (;;) {
        px.put(x0, y0, colour);
        if (x0 == x1 && y0 == y1)
            break;
        const i64 e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Liang-Barsky: cut the segment to the rectangle [xmin, xmax] x [ymin, ymax].
// False when nothing of it lies inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin, double xmax, double ymax)
{
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double nx0 = x0 + t0 * dx;
    const double ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}

}  // namespace

PixelTarget pixelTarget(QImage& image)
{
    if (!usable(image))
        return {};
    return {reinterpret_cast<QRgb*>(image.bits()), image.bytesPerLine() / static_cast<i64>(sizeof(QRgb)), image.width(),
            image.height()};
}

void rasterCircle(QImage& image, double cx, double cy, double r, QRgb colour)
{
    rasterCircle(pixelTarget(image), cx, cy, r, colour);
}

void rasterCircle(const PixelTarget& target, double cx, double cy, double r, QRgb colour)
{
    if (!usable(target) || !std::isfinite(cx) || !std::isfinite(cy) || !(r > 0.0))
        return;
    const double rr = std::floor(r + 0.5);
    if (!(rr <= maxRadius))
        return;
    const double w = static_cast<double>(target.width);
    const double h = static_cast<double>(target.height);
    const double rcx = std::floor(cx + 0.5);
    const double rcy = std::floor(cy + 0.5);
    // Nothing to do when the outline misses the image, or holds it inside.
    const double nearX = std::max({0.0, -rcx, rcx - (w - 1.0)});
    const double nearY = std::max({0.0, -rcy, rcy - (h - 1.0)});
    if (std::hypot(nearX, nearY) > rr + 1.0)
        return;
    const double farX = std::max(std::fabs(rcx), std::fabs(rcx - (w - 1.0)));
    const double farY = std::max(std::fabs(rcy), std::fabs(rcy - (h - 1.0)));
    if (std::hypot(farX, farY) < rr - 1.0)
        return;

    Pixels px(target);
    const i64 x0 = static_cast<i64>(rcx);
    const i64 y0 = static_cast<i64>(rcy);
    const i64 radius = static_cast<i64>(rr);
    const i64 end = octantEnd(radius);

    // Flat arcs, top and bottom: one pixel per column, only the columns of
    // the image.
    const i64 aFirst = std::max(-end, -x0);
    const i64 aLast = std::min(end, px.width() - 1 - x0);
    for (i64 a = aFirst; a <= aLast; ++a) {
        const i64 b = arcHeight(radius, a < 0 ? -a : a);
        px.put(x0 + a, y0 - b, colour);
        px.put(x0 + a, y0 + b, colour);
    }
    // Steep arcs, left and right: the same with rows and columns exchanged.
    const i64 bFirst = std::max(-end, -y0);
    const i64 bLast = std::min(end, px.height() - 1 - y0);
    for (i64 b = bFirst; b <= bLast; ++b) {
        const i64 a = arcHeight(radius, b < 0 ? -b : b);
        px.put(x0 - a, y0 + b, colour);
        px.put(x0 + a, y0 + b, colour);
    }
}

void CircleStencil::build(i64 radius)
{
    radius_ = radius;
    stride_ = 0;
    // The pixels rasterCircle sets around the origin, each once.
    std::vector<std::pair<i64, i64>> pixels;
    const i64 end = octantEnd(radius);
    for (i64 a = -end; a <= end; ++a) {
        const i64 b = arcHeight(radius, a < 0 ? -a : a);
        pixels.emplace_back(a, -b);
        pixels.emplace_back(a, b);
        pixels.emplace_back(-b, a);
        pixels.emplace_back(b, a);
    }
    // Row by row, so that the stores of one circle walk down the image.
    std::sort(pixels.begin(), pixels.end(), [](const auto& p, const auto& q) {
        return p.second != q.second ? p.second < q.second : p.first < q.first;
    });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    dx_.clear();
    dy_.clear();
    for (const auto& [x, y] : pixels) {
        dx_.push_back(static_cast<std::int32_t>(x));
        dy_.push_back(static_cast<std::int32_t>(y));
    }
}

void CircleStencil::linearise(i64 stride)
{
    stride_ = stride;
    linear_.resize(dx_.size());
    for (std::size_t i = 0; i < dx_.size(); ++i)
        linear_[i] = dy_[i] * stride + dx_[i];
}

void CircleStencil::draw(const PixelTarget& target, double cx, double cy, double r, QRgb colour)
{
    if (!usable(target) || !(r > 0.0))
        return;
    if (!(r < static_cast<double>(stencilLimit))) {
        rasterCircle(target, cx, cy, r, colour);
        return;
    }
    // A centre this far out cannot reach the image (false for NaN too);
    // nearer ones round exactly below.
    if (!(std::fabs(cx) < farCentre && std::fabs(cy) < farCentre))
        return;
    const i64 radius = floorSmall(r + 0.5);
    const i64 x0 = floorSmall(cx + 0.5);
    const i64 y0 = floorSmall(cy + 0.5);
    // The outline lies in the square of side 2 radius + 1 around the centre.
    if (x0 + radius < 0 || x0 - radius >= target.width || y0 + radius < 0 || y0 - radius >= target.height)
        return;
    if (radius != radius_)
        build(radius);
    const std::size_t count = dx_.size();

    if (x0 >= radius && x0 + radius < target.width && y0 >= radius && y0 + radius < target.height) {
        // Wholly inside: no pixel needs a bounds test.
        if (target.stride != stride_)
            linearise(target.stride);
        QRgb* const centre = target.bits + (y0 * target.stride + x0);
        const i64* const offset = linear_.data();
        for (std::size_t i = 0; i < count; ++i)
            centre[offset[i]] = colour;
        return;
    }
    Pixels px(target);
    for (std::size_t i = 0; i < count; ++i)
        px.put(x0 + dx_[i], y0 + dy_[i], colour);
}

void rasterLine(QImage& image, double x0, double y0, double x1, double y1, QRgb colour)
{
    if (!usable(image) || !std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    const double w = image.width();
    const double h = image.height();
    const auto near = [&](double x, double y) {
        return x >= -nearRange && x <= w + nearRange && y >= -nearRange && y <= h + nearRange;
    };
    if (!near(x0, y0) || !near(x1, y1)) {
        if (!clipSegment(x0, y0, x1, y1, -1.0, -1.0, w, h))
            return;
    }
    const PixelTarget target = pixelTarget(image);
    Pixels px(target);
    bresenham(px, roundToPixel(x0), roundToPixel(y0), roundToPixel(x1), roundToPixel(y1), colour);
}

void rasterPoint(QImage& image, double x, double y, QRgb colour)
{
    if (!usable(image) || !std::isfinite(x) || !std::isfinite(y))
        return;
    if (x < -1.0 || y < -1.0 || x > image.width() || y > image.height())
        return;
    const PixelTarget target = pixelTarget(image);
    Pixels px(target);
    px.put(roundToPixel(x), roundToPixel(y), colour);
}

}  // namespace ljgas
