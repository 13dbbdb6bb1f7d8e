#pragma once
// The chart's drawing: a persistent image at the screen's device pixel ratio that keeps what the
// chart drawings put on it (traces, edges, printed values). The chart area owns one, shows it and
// tells it its size; it is what the drawings draw on.
//
// Segments are written straight into the image's pixels (see segment()); nothing holds a painter
// open on it between operations, so the image can be read or shown at any time. Every change is
// reported to the owner, with the pixels it touched, so that it repaints only those.
//
// Coordinates are twips of the client area, origin top-left, Y downwards; 15 twips make one
// pixel.

#include "chart/DrawingSurface.h"

#include <QFont>
#include <QImage>
#include <QRect>

#include <functional>

namespace platine {

// The pixel position of a point in twips, and the middle of the pixel it falls in: lines are drawn
// through the middle of their end pixels, so that a one-pixel line covers exactly those pixels at
// any device pixel ratio.
QPointF pixelPoint(double x, double y);
QPointF pixelCentre(double x, double y);

class ChartImage : public DrawingSurface
{
public:
    static constexpr double kTwipsPerPixel = 15.0;

    ChartImage();

    // DrawingSurface.
    void clear() override;
    // Draws in the line width scaled to the image's device pixels (rasterLine()): with round ends
    // from width 2 up, with square ends at width 1 on a denser screen. Each end is first moved half
    // a pixel right and down, so that an end on a pixel's corner stands in the middle of that
    // pixel. Colours are drawn opaque.
    void segment(float x1, float y1, float x2, float y2, const QColor &color) override;
    void verticals(const std::vector<VerticalLine> &lines) override;
    void rectangle(float x1, float y1, float x2, float y2, const QColor &color) override;
    void setTextPosition(float x, float y) override;
    void print(const QString &text) override;
    QColor foreground() const override { return m_foreground; }
    void setForeground(const QColor &color) override { m_foreground = color; }
    int lineWidth() const override { return m_lineWidth; }
    void setLineWidth(int pixels) override; // kept in 1..5
    double width() const override { return m_outerWidth; }

    // The client size in pixels, its device pixel ratio and the outer width in twips (W, which
    // takes in the owner's border). A new size or ratio keeps the drawing, scaled.
    void setGeometry(const QSize &clientPixels, qreal dpr, double outerWidthTwips);
    void setFont(const QFont &font) { m_font = font; }

    float textX() const { return m_textX; }
    float textY() const { return m_textY; }
    // Fills the drawing with the new colour (as a clear does, without moving the text position).
    void setBackgroundColor(const QColor &color);

    // The drawing as it stands (device pixels; devicePixelRatio() tells the scale).
    const QImage &image() const { return m_image; }

    // Called at the first change after the changes were last taken, so that the owner asks once
    // for a repaint; takeChanges() then gives the client pixels changed since (the whole drawing
    // after a clear or a print) and starts a new batch.
    void onChange(std::function<void()> handler) { m_changed = std::move(handler); }
    QRect takeChanges();

private:
    void ensureImage();
    void changed(const QRect &pixels);
    // The same for device pixels of the image (none when empty).
    void changedDevicePixels(const QRect &drawn);

    QImage m_image;
    QSize m_clientSize{1, 1};
    qreal m_dpr = 1;
    double m_outerWidth = 0;
    QFont m_font;
    QColor m_background;
    QColor m_foreground;
    int m_lineWidth = 1;
    float m_textX = 0;
    float m_textY = 0;
    std::function<void()> m_changed;
    QRect m_changes;         // client pixels changed in this batch
    bool m_notified = false; // the owner was told of this batch
};

} // namespace platine
