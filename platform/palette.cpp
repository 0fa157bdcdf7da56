#include "palette.h"

#include <array>
#include <stdexcept>

namespace ljgas {

namespace {

// The sixteen colours of the old text-mode displays: eight dim ones, then
// their bright counterparts (dark grey, light blue, ... bright white).
constexpr std::array<QRgb, 16> classicPalette = {
    0xFF000000u,  //  0 black
    0xFF0000AAu,  //  1 blue
    0xFF00AA00u,  //  2 green
    0xFF00AAAAu,  //  3 cyan
    0xFFAA0000u,  //  4 red
    0xFFAA00AAu,  //  5 magenta
    0xFFAA5500u,  //  6 brown
    0xFFAAAAAAu,  //  7 light grey
    0xFF555555u,  //  8 dark grey
    0xFF5555FFu,  //  9 light blue
    0xFF55FF55u,  // 10 light green
    0xFF55FFFFu,  // 11 light cyan
    0xFFFF5555u,  // 12 light red
    0xFFFF55FFu,  // 13 light magenta
    0xFFFFFF55u,  // 14 yellow
    0xFFFFFFFFu,  // 15 bright white
};

}  // namespace

QRgb QBColor(int index)
{
    if (index < 0 || index >= static_cast<int>(classicPalette.size()))
        throw std::out_of_range("Invalid palette index");
    return classicPalette[static_cast<std::size_t>(index)];
}

}  // namespace ljgas
