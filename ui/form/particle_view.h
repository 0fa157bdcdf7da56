// The particle view: every particle as a circle outline of radius R in the
// unit square, particle 1 in light red, the others in bright white.
#pragma once

#include <optional>

namespace ljgas {

class PictureBox;
struct Record;

// Clear the view, scale it to the square shrunk by R on every side (y up),
// and draw particles 1..n. Called at the end of every lattice start.
void redrawParticles(PictureBox& view, const Record& rec);

// The circle of particle k at its current position, in its colour.
void drawParticle(PictureBox& view, const Record& rec, int k);

// The same circle in the background colour: on the black view this removes
// exactly what the last draw of particle k at this position put there.
void eraseParticle(PictureBox& view, const Record& rec, int k);

// The view as a run moves the particles, erasing each circle, drifting the
// particle and drawing it again: the erase waits for the draw, and where the
// circle stays on the same pixels it is left out. The pixels are exactly
// those of erasing and drawing in turn. Most discs move a third of a pixel
// in a step, so over half of the erases go.
class MovingParticles {
public:
    explicit MovingParticles(PictureBox& view) : view_(view) {}

    // Particle k is about to move: where its circle is now.
    void erase(const Record& rec, int k);
    // Particle k has moved: its old circle erased, the new one drawn.
    void draw(const Record& rec, int k);
    // An erase still waiting, when a step failed between erase and draw, is
    // done now. Called before anything else draws on the view or shows it.
    void finish();

private:
    struct Erased {
        int k;
        float x;
        float y;
        float R;
    };

    PictureBox& view_;
    std::optional<Erased> erased_;
};

}  // namespace ljgas
