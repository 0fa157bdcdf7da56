// The classic 16-colour palette by index, as the drawing calls name colours:
// 0 black, 12 light red, 15 bright white.
#pragma once

#include <QRgb>

namespace ljgas {

// The colour of palette entry `index` (0..15) as an opaque RGB value. Any
// other index is a programming error and throws std::out_of_range.
QRgb QBColor(int index);

}  // namespace ljgas
