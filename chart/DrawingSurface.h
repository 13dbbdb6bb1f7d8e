#pragma once
// What the chart drawings ask of the chart area, in twips (origin top-left, Y downwards).
// One implementation paints into the persistent image behind Picture1; another records the
// operations so tests can compare exact segments.

#include <QColor>
#include <QString>

#include <vector>

namespace platine {

// A vertical line from (x, y1) to (x, y2).
struct VerticalLine {
    float x, y1, y2;
    QColor color;
};

class DrawingSurface
{
public:
    virtual ~DrawingSurface() = default;

    // Clears the drawing (traces and printed text, never the line controls) and moves the text
    // position to the top-left corner.
    virtual void clear() = 0;
    virtual void segment(float x1, float y1, float x2, float y2, const QColor &color) = 0;
    // The lines drawn as segment() draws each, in order (a later one over an earlier one).
    virtual void verticals(const std::vector<VerticalLine> &lines)
    {
        for (const VerticalLine &l : lines)
            segment(l.x, l.y1, l.x, l.y2, l.color);
    }
    // Outline of the rectangle with corners (x1, y1) and (x2, y2).
    virtual void rectangle(float x1, float y1, float x2, float y2, const QColor &color) = 0;
    virtual void setTextPosition(float x, float y) = 0;
    // Prints the text at the text position in the foreground colour, then moves to the next line.
    virtual void print(const QString &text) = 0;
    virtual QColor foreground() const = 0;
    virtual void setForeground(const QColor &color) = 0;
    virtual int lineWidth() const = 0; // pixels, 1..5
    virtual void setLineWidth(int pixels) = 0;
    // The chart area's outer width in twips (W).
    virtual double width() const = 0;
};

} // namespace platine
