#include "ui/shell/particle_mark.h"

#include <QPainter>
#include <cmath>

#include "engine/record.h"
#include "platform/palette.h"
#include "platform/picture_box.h"

namespace ljgas {

namespace {

constexpr int markColour = 12;  // light red, particle 1's own colour
constexpr int frameMilliseconds = 16;

}  // namespace

ParticleMark::ParticleMark(PictureBox& view, const Record& rec) : QWidget(&view), view_(view), rec_(rec)
{
    setObjectName(QStringLiteral("particleMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(view.rect());
    updateTimer_.setSingleShot(true);
    connect(&updateTimer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void ParticleMark::setTrail(bool on)
{
    trail_ = on;
    forget();
}

void ParticleMark::follow()
{
    if (isHidden())
        return;
    if (trail_ && rec_.n >= 1) {
        const QPointF p(rec_.x[1], rec_.y[1]);
        if (points_.size() < TrailLength) {
            points_.push_back(p);
        } else {
            points_[next_] = p;
            next_ = (next_ + 1) % TrailLength;
        }
    }
    scheduleUpdate();
}

void ParticleMark::forget()
{
    points_.clear();
    next_ = 0;
    scheduleUpdate();
}

void ParticleMark::scheduleUpdate()
{
    if (!updateTimer_.isActive())
        updateTimer_.start(frameMilliseconds);
}

void ParticleMark::paintEvent(QPaintEvent*)
{
    if (rec_.n < 1)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = QColor::fromRgb(QBColor(markColour));
    const std::size_t count = points_.size();
    for (std::size_t m = 1; m < count; ++m) {
        const QPointF& from = points_[(next_ + m - 1) % count];
        const QPointF& to = points_[(next_ + m) % count];
        // A step across the box's edge is the disc coming in on the other
        // side, not a path across the box.
        if (std::fabs(to.x() - from.x()) > 0.5 || std::fabs(to.y() - from.y()) > 0.5)
            continue;
        QColor faded = colour;
        faded.setAlphaF(0.8 * static_cast<double>(m) / static_cast<double>(count));
        painter.setPen(QPen(faded, 1.5));
        painter.drawLine(view_.toPixel(from.x(), from.y()), view_.toPixel(to.x(), to.y()));
    }
    const QPointF centre = view_.toPixel(rec_.x[1], rec_.y[1]);
    const double radius = std::fabs(view_.toPixel(rec_.x[1] + rec_.R, rec_.y[1]).x() - centre.x());
    if (!std::isfinite(centre.x()) || !std::isfinite(centre.y()) || !std::isfinite(radius))
        return;
    painter.setPen(QPen(colour, 3.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius + 2.0, radius + 2.0);
}

}  // namespace ljgas
