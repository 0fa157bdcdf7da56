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

// Drawing goes into the box's own image, never straight to the screen, so
// nothing is lost when the window is covered; the screen catches up at most
// about once per display frame. Coordinates are user coordinates set by
// Scale. Arguments that cannot be drawn (infinite or NaN coordinates, points
// far outside the box, a radius of zero or less, a degenerate Scale) draw
// nothing and return; no call fails.
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

    // User coordinates: (x1, y1) is the upper-left corner, (x2, y2) the
    // lower-right one, so y grows upward when y1 > y2. The corners fall on
    // the centres of the corner pixels. Until the first call the coordinates
    // are pixels, (0, 0) upper left.
    void Scale(double x1, double y1, double x2, double y2);

    // Fill the box with its background colour; the current position becomes (0, 0).
    void Cls();

    // A one-pixel outline of a circle centred at (x, y), radius r in
    // horizontal units, round on screen however the axes are stretched.
    // Drawing the same circle again in the background colour erases exactly
    // the pixels it set.
    void Circle(double x, double y, double r, QRgb colour);

    // Circle(x0, y0, r, erase) and then Circle(x1, y1, r, colour), in one
    // call. Where both fall on the same pixels, the first is left out: the
    // second sets every pixel the first would have set.
    void moveCircle(double x0, double y0, double x1, double y1, double r, QRgb erase, QRgb colour);

    // Plot one pixel in the fore colour; (x, y) becomes the current position.
    void PSet(double x, double y);

    // A line from the current position to (x, y), both ends included;
    // (x, y) becomes the current position.
    void Line(double x, double y, QRgb colour);

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }

    // Where a user coordinate lies in pixel units of the box (pixel centres
    // at whole numbers), or NaN when the coordinate system is degenerate.
    QPointF toPixel(double x, double y) const;

    // Everything drawn so far, one pixel per pixel of the box.
    const QImage& image() const;

    // Screen refreshes of the box so far: paint events, each copying the
    // image to the window.
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
    void refreshScreen();

    // The image follows the widget's size even while the widget is hidden
    // (a hidden widget gets no resize event), hence mutable.
    mutable QImage image_;
    mutable QSize imageSize_{-1, -1};
    mutable PixelTarget target_;  // the image's geometry; bits taken per call
    QRgb backColor_;
    QRgb foreColor_;
    double scaleLeft_ = 0.0;
    double scaleTop_ = 0.0;
    double scaleWidth_ = 0.0;   // 0 until Scale: pixel coordinates
    double scaleHeight_ = 0.0;
    double currentX_ = 0.0;
    double currentY_ = 0.0;
    // User units to pixels, worked out again when the scale or the size
    // changes: pixels per unit across and down, and pixels per unit of a
    // circle's radius (measured across).
    mutable bool mappingValid_ = false;
    mutable double pixelsPerUnitX_ = 1.0;
    mutable double pixelsPerUnitY_ = 1.0;
    mutable double pixelsPerRadiusUnit_ = 1.0;
    CircleStencil circles_;
    QTimer repaintTimer_;
    long long paintCount_ = 0;
};

}  // namespace ljgas
