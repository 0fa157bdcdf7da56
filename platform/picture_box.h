// PictureBox: a drawing area that keeps what is drawn on it in an image of its
// own, with a user coordinate system and circle, point and line drawing.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QTimer>
#include <QWidget>

#include "raster.h"

namespace ljgas {

// Drawing goes into the box's own image, so nothing is lost when the window
// is covered; the screen catches up at most once per display frame.
// Coordinates are user coordinates set by Scale. What cannot be drawn (NaN,
// far outside, a radius not above 0, a degenerate Scale) draws nothing; no
// call fails.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Background colour: what Cls fills the box with. Setting it clears the box.
    QRgb BackColor() const { return backColor_; }
    void setBackColor(QRgb colour);

    // Colour of points plotted without a colour of their own; black unless set.
    QRgb ForeColor() const { return foreColor_; }
    void setForeColor(QRgb colour);

    // User coordinates: (x1, y1) the upper-left corner, (x2, y2) the
    // lower-right, on the centres of the corner pixels. Until the first call
    // the coordinates are pixels, (0, 0) upper left.
    void Scale(double x1, double y1, double x2, double y2);

    // Fill the box with its background colour; the current position becomes (0, 0).
    void Cls();

    // A one-pixel outline of a circle centred at (x, y), radius r in
    // horizontal units, round on screen; drawn again in the background
    // colour, it erases exactly the pixels it set.
    void Circle(double x, double y, double r, QRgb colour);

    // Circle(x0, y0, r, erase) and then Circle(x1, y1, r, colour), the first
    // left out where both fall on the same pixels.
    void moveCircle(double x0, double y0, double x1, double y1, double r, QRgb erase, QRgb colour);

    // Plot one pixel in the fore colour; (x, y) becomes the current position.
    void PSet(double x, double y);

    // A line from the current position to (x, y), both ends included;
    // (x, y) becomes the current position.
    void Line(double x, double y, QRgb colour);

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }

    // A user coordinate in pixels (centres at whole numbers); NaN when the
    // coordinate system is degenerate.
    QPointF toPixel(double x, double y) const;

    // Everything drawn so far, one pixel per pixel of the box.
    const QImage& image() const;

    // Paint events so far, each copying the image to the window.
    long long paintCount() const { return paintCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void syncImageSize() const;
    void updateMapping() const;
    QPointF mapped(double x, double y) const;
    PixelTarget target();
    void markDirty();
    int frameIntervalMs() const;

    // The image follows the widget's size also while it is hidden (and gets
    // no resize event), hence mutable.
    mutable QImage image_;
    mutable QSize imageSize_{-1, -1};
    mutable PixelTarget target_;  // the image's geometry; bits taken per call
    QRgb backColor_;
    QRgb foreColor_;
    double scaleLeft_ = 0.0;
    double scaleTop_ = 0.0;
    double scaleWidth_ = 0.0;  // 0 until Scale: pixel coordinates
    double scaleHeight_ = 0.0;
    double currentX_ = 0.0;
    double currentY_ = 0.0;
    // User units to pixels across, down and for a circle's radius, worked
    // out again when the scale or the size changes.
    mutable bool mappingValid_ = false;
    mutable double pixelsPerUnitX_ = 1.0;
    mutable double pixelsPerUnitY_ = 1.0;
    mutable double pixelsPerRadiusUnit_ = 1.0;
    CircleStencil circles_;
    QTimer repaintTimer_;
    long long paintCount_ = 0;
};

}  // namespace ljgas
