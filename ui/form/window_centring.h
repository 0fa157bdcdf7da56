// Centring the program's window on its screen by its outer size, again when
// the frame arrives, and keeping it on the screen when it grows.
#pragma once

class QWidget;

namespace ljgas {

// Moves the top-level `window`, its layout settled, so that its outer
// rectangle is centred on its screen. Before the window has been shown its
// frame is unknown and counts as nothing.
void centreOnScreen(QWidget& window);

// Centres `window` once more when the window system reports its frame,
// after it is first shown; a window that gets none is left where it is.
void recentreWhenFramed(QWidget& window);

// Moves the shown top-level `window` by as little as brings its outer
// rectangle within the screen's available area; one larger than the area
// keeps its top-left corner inside it.
void keepOnScreen(QWidget& window);

}  // namespace ljgas
