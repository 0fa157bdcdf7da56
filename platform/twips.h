// Twips, the unit of the window's stored layout (1/1440 inch, 15 per pixel at
// 96 dpi), their conversion to pixels, and the centring of the window.
#pragma once

namespace ljgas {

inline constexpr double TwipsPerInch = 1440.0;

// A length or position in twips as whole pixels at `dpi` dots per inch,
// rounded to the nearest pixel (halves away from zero). Values beyond the
// range of int, infinities and NaN give 0.
int twipsToPixels(double twips, double dpi);

// A pixel count as twips at `dpi`, in single precision as the window's
// geometry properties report it.
float pixelsToTwips(double pixels, double dpi);

// The outer top-left corner of a window of outer size windowWidth x
// windowHeight centred on a screen of screenWidth x screenHeight, all in
// twips. The halves are kept (no rounding to whole twips), and a screen
// smaller than the window gives a negative corner.
struct WindowOrigin {
    float Left;
    float Top;
};
WindowOrigin centredOrigin(float screenWidth, float screenHeight, float windowWidth, float windowHeight);

}  // namespace ljgas
