// ParticleMark: particle 1 picked out for the eye, over the particle view: a
// thicker ring round it and, if asked for, a trail of its latest positions
// that fades with age. It draws on a layer of its own, so the view's own
// drawing is the same with the mark or without it.
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
    // default speed, in which a disc of the default gas moves some eight
    // radii.
    static constexpr std::size_t TrailLength = 300;

    // A layer covering `view`, as its child; it lets every mouse event
    // through to the view.
    ParticleMark(PictureBox& view, const Record& rec);

    void setTrail(bool on);
    bool trail() const { return trail_; }
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
