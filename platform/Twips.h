#pragma once
// Window layout units: the window designs give positions and sizes in twips (1/1440 inch);
// at 96 dpi 15 twips make one pixel.

#include <QRect>
#include <cmath>

namespace platine {

// Pixels for a length in twips, rounded to the nearest pixel (halves away from zero).
constexpr int twips(int t)
{
    // std::lround is not constexpr before C++23: round half away from zero by hand.
    return t >= 0 ? (t * 2 + 15) / 30 : -((-t * 2 + 15) / 30);
}

// A rectangle given as left, top, width, height in twips.
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

static_assert(twips(15) == 1 && twips(7) == 0 && twips(8) == 1 && twips(-8) == -1
              && twips(13335) == 889 && twips(22) == 1 && twips(23) == 2);

} // namespace platine
