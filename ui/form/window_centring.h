// Placing the program's window in the middle of its screen by its outer size,
// frame and title bar included, and once more when the window manager has
// put the frame round it; and keeping it on the screen when it grows.
#pragma once

class QWidget;

namespace ljgas {

// Moves the top-level `window` so that its outer rectangle is centred on its
// screen (a screen smaller than the window gives a negative corner). A layout
// still pending is settled first, so that the size is the one shown. Before
// the window has been shown its frame is unknown and counts as nothing.
void centreOnScreen(QWidget& window);

// Centres `window` once more as soon as the window system reports the frame
// it has been given, which happens only after it is first shown. A window
// that gets no frame is left where it is.
void recentreWhenFramed(QWidget& window);

// Moves the top-level `window`, after its layout has settled, by as little as
// brings its outer rectangle within the screen's available area (the part
// no panel or dock of the desktop covers). A window larger than that area
// keeps its top-left corner inside it. A window that has not been shown is
// left where it is.
void keepOnScreen(QWidget& window);

}  // namespace ljgas
