// Placing the program's window in the middle of its screen by its outer size,
// frame and title bar included, and once more when the window manager has
// put the frame round it.
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

}  // namespace ljgas
