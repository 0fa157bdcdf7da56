#include "twips.h"

#include <climits>
#include <cmath>

namespace ljgas {

int twipsToPixels(double twips, double dpi)
{
    const double pixels = std::round(twips * dpi / TwipsPerInch);
    if (!(pixels >= static_cast<double>(INT_MIN) && pixels <= static_cast<double>(INT_MAX)))
        return 0;
    return static_cast<int>(pixels);
}

float pixelsToTwips(double pixels, double dpi) { return static_cast<float>(pixels * TwipsPerInch / dpi); }

WindowOrigin centredOrigin(float screenWidth, float screenHeight, float windowWidth, float windowHeight)
{
    const double left = (static_cast<double>(screenWidth) - windowWidth) / 2.0;
    const double top = (static_cast<double>(screenHeight) - windowHeight) / 2.0;
    return {static_cast<float>(left), static_cast<float>(top)};
}

}  // namespace ljgas
