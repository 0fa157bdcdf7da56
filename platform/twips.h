// Twips, the unit of the window's stored layout (1/1440 inch, 15 per pixel at
// 96 dpi), their conversion to pixels, and the centring of the window.
#pragma once

namespace ljgas {

inline constexpr double TwipsPerInch = 1440.0;

// Twips as whole pixels at `dpi`, halves away from zero; 0 beyond int or NaN.
int twipsToPixels(double twips, double dpi);

// A pixel count as twips at `dpi`, in single precision as the window's
// geometry properties report it.
float pixelsToTwips(double pixels, double dpi);

// The outer top-left corner, in twips with the halves kept, of a window
// centred on a screen (negative on a screen smaller than the window).
struct WindowOrigin {
    float Left;
    float Top;
};
WindowOrigin centredOrigin(float screenWidth, float screenHeight, float windowWidth, float windowHeight);

}  // namespace ljgas
