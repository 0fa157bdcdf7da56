// The particle view: every particle as a circle outline of radius R in the
// unit square, particle 1 in light red, the others in bright white.
#pragma once

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

}  // namespace ljgas
