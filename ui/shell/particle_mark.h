// ParticleMark: particle 1 picked out for the eye, on a layer over the view:
// a thicker ring and, if asked for, a fading trail of its latest positions.
#pragma once

#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <cstddef>
#include <vector>

namespace ljgas {

class PictureBox;
struct Record;

class ParticleMark : public QWidget {
public:
    // Positions the trail keeps: 300 steps, a third of a second at the
    // default speed, some eight radii of a disc of the default gas.
    static constexpr std::size_t TrailLength = 300;

    // A layer covering `view`, as its child, transparent to the mouse.
    ParticleMark(PictureBox& view, const Record& rec);

    void setTrail(bool on);
    // Particle 1 has moved: once a step.
    void follow();
    // The particles were set anew: the trail starts afresh.
    void forget();
    std::size_t trailPoints() const { return points_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void scheduleUpdate();

    PictureBox& view_;
    const Record& rec_;
    bool trail_ = false;
    std::vector<QPointF> points_;  // particle 1's positions, box units, oldest first from next_
    std::size_t next_ = 0;
    QTimer updateTimer_;
};

}  // namespace ljgas
