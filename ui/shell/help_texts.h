// The texts of the Help menu: the About box and the page on reading the
// window, as rich text.
#pragma once

#include <QString>

namespace ljgas {

// Name, version, licence, the Qt version in use, and what the window shows.
QString aboutText();

// What R, e0, Tsoll and Tist mean, and how to read the g(r) plot.
QString readingTheWindowText();

}  // namespace ljgas
