#pragma once
// The chart area's line drawing: segments written straight into the pixels of an RGB32 image,
// without a painter (a painter per segment costs several times the whole drawing).

#include <QColor>
#include <QRect>

#include <optional>
#include <vector>

class QImage;

namespace platine {

// Coordinates are clipped to this many twips either side of the origin before drawing, so that a
// segment running far outside the chart area (or one with absurd coordinates) costs nothing.
inline constexpr double kClipLimit = 1.0e6;

struct Segment {
    double x1, y1, x2, y2;
};

// The segment clipped to the square [-kClipLimit, kClipLimit]^2; nullopt when nothing is left or a
// coordinate is not finite. An end outside is moved to the border it crosses, computed from that
// end's own coordinates, so that segments with very large coordinates keep their direction.
std::optional<Segment> clipToLimit(double x1, double y1, double x2, double y2);

// Draws the segment from (ax, ay) to (bx, by), in device pixels (pixel (i, j) covers
// [i, i+1) x [j, j+1)), in the opaque colour, into an RGB32 image. A line one pixel wide has one
// pixel in each row or column along its longer axis, from the pixel of one end to the pixel of the
// other. A wider line covers the pixels whose centres lie within half its width of the segment:
// with round ends, or with square ends going on half a width beyond each end. Returns the pixels
// that may have changed (empty when the segment misses the image).
QRect rasterLine(QImage &image, double ax, double ay, double bx, double by, double width,
                 bool roundEnds, const QColor &color);

// A vertical line one pixel wide, in device pixels as rasterLine() takes them.
struct DeviceVertical {
    double x, y1, y2;
    QRgb rgb;
};
// Draws the lines as rasterLine() draws each, one after the other: the same pixels, a later line
// over an earlier one. Column by column a line is not one run of memory; the lines are drawn into
// a band of kBandColumns columns kept turned a quarter, then copied row by row into the image.
QRect rasterVerticals(QImage &image, const std::vector<DeviceVertical> &lines);

} // namespace platine
