#include "picture_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace ljgas {

namespace {

// The screen is refreshed from the image at most once per display frame,
// 60 a second when the screen gives no usable rate.
constexpr double fallbackRefreshRate = 60.0;
constexpr int shortestFrameMs = 4;
constexpr int longestFrameMs = 50;

constexpr QRgb black = 0xFF000000u;

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), backColor_(black), foreColor_(black)
{
    // The whole box is painted from the image every time.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    repaintTimer_.setSingleShot(true);
    connect(&repaintTimer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void PictureBox::setBackColor(QRgb colour)
{
    backColor_ = colour | 0xFF000000u;
    Cls();
}

void PictureBox::setForeColor(QRgb colour) { foreColor_ = colour | 0xFF000000u; }

void PictureBox::Scale(double x1, double y1, double x2, double y2)
{
    scaleLeft_ = x1;
    scaleTop_ = y1;
    scaleWidth_ = x2 - x1;
    scaleHeight_ = y2 - y1;
    // A zero or non-finite extent: nothing is drawn until the next Scale.
    if (!std::isfinite(scaleWidth_) || scaleWidth_ == 0.0)
        scaleWidth_ = std::numeric_limits<double>::quiet_NaN();
    if (!std::isfinite(scaleHeight_) || scaleHeight_ == 0.0)
        scaleHeight_ = std::numeric_limits<double>::quiet_NaN();
    mappingValid_ = false;
}

void PictureBox::updateMapping() const
{
    syncImageSize();
    if (mappingValid_)
        return;
    if (scaleWidth_ == 0.0 && scaleHeight_ == 0.0) {  // never scaled: pixels
        pixelsPerUnitX_ = 1.0;
        pixelsPerUnitY_ = 1.0;
        pixelsPerRadiusUnit_ = 1.0;
    } else {
        // The corners fall on the centres of the corner pixels. A degenerate
        // scale leaves NaN here, and NaN coordinates draw nothing.
        const double spanX = std::max(image_.width() - 1, 0);
        const double spanY = std::max(image_.height() - 1, 0);
        pixelsPerUnitX_ = spanX / scaleWidth_;
        pixelsPerUnitY_ = spanY / scaleHeight_;
        pixelsPerRadiusUnit_ = std::max(spanX, 1.0) / std::fabs(scaleWidth_);
    }
    mappingValid_ = true;
}

QPointF PictureBox::toPixel(double x, double y) const
{
    updateMapping();
    return mapped(x, y);
}

QPointF PictureBox::mapped(double x, double y) const
{
    if (scaleWidth_ == 0.0 && scaleHeight_ == 0.0)
        return {x, y};
    return {(x - scaleLeft_) * pixelsPerUnitX_, (y - scaleTop_) * pixelsPerUnitY_};
}

PixelTarget PictureBox::target()
{
    updateMapping();
    // bits() detaches the image from any copy handed out by image(), so a
    // copy taken earlier never sees later drawing.
    PixelTarget pixels = target_;
    pixels.bits = reinterpret_cast<QRgb*>(image_.bits());
    return pixels;
}

void PictureBox::Cls()
{
    syncImageSize();
    image_.fill(backColor_);
    currentX_ = 0.0;
    currentY_ = 0.0;
    markDirty();
}

void PictureBox::Circle(double x, double y, double r, QRgb colour)
{
    const PixelTarget pixels = target();
    const QPointF centre = mapped(x, y);
    // The radius in horizontal units, the same pixels in every direction.
    circles_.draw(pixels, centre.x(), centre.y(), r * pixelsPerRadiusUnit_, colour | 0xFF000000u);
    markDirty();
}

void PictureBox::moveCircle(double x0, double y0, double x1, double y1, double r, QRgb erase, QRgb colour)
{
    const PixelTarget pixels = target();
    const QPointF from = mapped(x0, y0);
    const QPointF to = mapped(x1, y1);
    const double radius = r * pixelsPerRadiusUnit_;
    // An outline is fixed by its centre rounded to the nearest pixel and its
    // radius; a moving disc mostly stays on its pixel from one step to the next.
    const bool samePixels = std::floor(from.x() + 0.5) == std::floor(to.x() + 0.5) &&
                            std::floor(from.y() + 0.5) == std::floor(to.y() + 0.5);
    if (!samePixels)
        circles_.draw(pixels, from.x(), from.y(), radius, erase | 0xFF000000u);
    circles_.draw(pixels, to.x(), to.y(), radius, colour | 0xFF000000u);
    markDirty();
}

void PictureBox::PSet(double x, double y)
{
    const QPointF p = toPixel(x, y);
    rasterPoint(image_, p.x(), p.y(), foreColor_);
    currentX_ = x;
    currentY_ = y;
    markDirty();
}

void PictureBox::Line(double x, double y, QRgb colour)
{
    const QPointF from = toPixel(currentX_, currentY_);
    const QPointF to = toPixel(x, y);
    rasterLine(image_, from.x(), from.y(), to.x(), to.y(), colour | 0xFF000000u);
    currentX_ = x;
    currentY_ = y;
    markDirty();
}

const QImage& PictureBox::image() const
{
    syncImageSize();
    return image_;
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    syncImageSize();
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, image_, area);
    ++paintCount_;
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    syncImageSize();
    QWidget::resizeEvent(event);
}

void PictureBox::syncImageSize() const
{
    if (imageSize_ == size())
        return;
    // A new size keeps what was drawn, top-left aligned, on fresh background.
    QImage resized(size(), QImage::Format_RGB32);
    resized.fill(backColor_);
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
    imageSize_ = image_.size();
    target_ = pixelTarget(image_);
    target_.bits = nullptr;  // taken afresh for every drawing call
    mappingValid_ = false;
}

void PictureBox::markDirty()
{
    // The first drawing call after a refresh arms the timer; the screen is
    // never repainted from inside a drawing call.
    if (!repaintTimer_.isActive())
        repaintTimer_.start(frameIntervalMs());
}

int PictureBox::frameIntervalMs() const
{
    const QScreen* display = screen();
    double rate = display ? display->refreshRate() : fallbackRefreshRate;
    if (!(rate >= 1.0))
        rate = fallbackRefreshRate;
    return std::clamp(static_cast<int>(1000.0 / rate), shortestFrameMs, longestFrameMs);
}

}  // namespace ljgas
