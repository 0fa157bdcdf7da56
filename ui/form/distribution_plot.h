// The distribution plot: the g(r) histogram as one curve over bins 1..200,
// scaled to its largest entry.
#pragma once

namespace ljgas {

class PictureBox;
struct Record;

// Bin number across (0 to nbins), value upward (0 to 1), then clear. Called
// at the start of every run.
void setUpPlot(PictureBox& plot, const Record& rec);

// Clear and draw the polyline through (k, h(k)) for k = 1..200, where
// h(k) = (g(k) / m) / 1.2 and m is the largest of 1 and g(1..200): the
// highest point stays at five-sixths of the height.
void redrawPlot(PictureBox& plot, const Record& rec);

}  // namespace ljgas
