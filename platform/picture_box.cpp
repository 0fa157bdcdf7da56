#include "picture_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "raster.h"

namespace ljgas {

namespace {

// The screen is refreshed from the image at most this often: about one
// display frame, however many drawing calls come in between.
constexpr int repaintIntervalMs = 16;

constexpr QRgb black = 0xFF000000u;

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), backColor_(black), foreColor_(black)
{
    // The whole box is painted from the image every time.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    repaintTimer_.setSingleShot(true);
    repaintTimer_.setInterval(repaintIntervalMs);
    connect(&repaintTimer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void PictureBox::setBackColor(QRgb colour)
{
    backColor_ = colour | 0xFF000000u;
    Cls();
}

void PictureBox::setForeColor(QRgb colour)
{
    foreColor_ = colour | 0xFF000000u;
}

void PictureBox::Scale(double x1, double y1, double x2, double y2)
{
    scaleLeft_ = x1;
    scaleTop_ = y1;
    scaleWidth_ = x2 - x1;
    scaleHeight_ = y2 - y1;
    // A zero or non-finite extent leaves no usable coordinate system: the
    // drawing calls then draw nothing until the next Scale.
    if (!std::isfinite(scaleWidth_) || scaleWidth_ == 0.0)
        scaleWidth_ = std::numeric_limits<double>::quiet_NaN();
    if (!std::isfinite(scaleHeight_) || scaleHeight_ == 0.0)
        scaleHeight_ = std::numeric_limits<double>::quiet_NaN();
}

QPointF PictureBox::toPixel(double x, double y) const
{
    syncImageSize();
    const double spanX = std::max(image_.width() - 1, 0);
    const double spanY = std::max(image_.height() - 1, 0);
    if (scaleWidth_ == 0.0 && scaleHeight_ == 0.0)  // never scaled: pixels
        return {x, y};
    return {(x - scaleLeft_) / scaleWidth_ * spanX, (y - scaleTop_) / scaleHeight_ * spanY};
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
    const QPointF centre = toPixel(x, y);
    // The radius is measured in horizontal units and drawn the same number
    // of pixels in every direction, so the circle is round on screen even
    // where the two axes have different scales.
    const double unitsPerPixel =
        scaleWidth_ == 0.0 ? 1.0 : std::fabs(scaleWidth_) / std::max(image_.width() - 1, 1);
    rasterCircle(image_, centre.x(), centre.y(), r / unitsPerPixel, colour | 0xFF000000u);
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
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    syncImageSize();
    QWidget::resizeEvent(event);
}

void PictureBox::syncImageSize() const
{
    if (image_.size() == size())
        return;
    // A new size keeps what was drawn, top-left aligned, on fresh background.
    QImage resized(size(), QImage::Format_RGB32);
    resized.fill(backColor_);
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
}

void PictureBox::markDirty()
{
    // The first drawing call after a refresh arms the timer; the calls that
    // follow within the same frame ride along with it.
    if (!repaintTimer_.isActive())
        repaintTimer_.start();
}

}  // namespace ljgas
