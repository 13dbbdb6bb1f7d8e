#pragma once
// Picture1: the chart area of the viewer window.
//
// What is drawn on it (traces, edges, printed values) goes into a persistent image that keeps the
// drawing when the window is covered and uncovered, at the screen's device pixel ratio so that it
// stays crisp on high-density screens. Above the image the chart area paints its line controls
// (axes, grid, cursors); labels are ordinary child widgets and stand above both.
//
// Segments are written straight into the image's pixels (see segment()); nothing holds a painter
// open on it between operations, so the image can be read or shown at any time. Drawing marks the
// part of the widget it touched and a single repaint of that part follows once control returns to
// the event loop; moving a line control repaints only where the line was and where it now is.
//
// Coordinates are twips of the client area (inside the 2-pixel sunken border), origin top-left,
// Y downwards; 15 twips make one pixel. The mouse and the keyboard are reported in the same terms
// as the chart handlers take them: buttons 1 left, 2 right, 4 middle; key codes 37 for the left
// arrow, 39 for the right arrow, 0 for any other key. A double click counts as one click.
// Ctrl+C copies the chart's picture to the clipboard and Ctrl+S asks for it to be saved; neither
// reaches the chart handlers.
//
// Note: DrawingSurface::width() (the outer width in twips) hides QWidget::width() on this class;
// pixelWidth() gives the width in pixels.

#include "chart/DrawingSurface.h"

#include <QImage>
#include <QList>
#include <QWidget>

namespace platine {

class LineControl;

class ChartArea : public QWidget, public DrawingSurface
{
    Q_OBJECT
public:
    static constexpr int kBorder = 2;         // pixels of the sunken border
    static constexpr double kTwipsPerPixel = 15.0;

    explicit ChartArea(QWidget *parent = nullptr);
    ~ChartArea() override;

    // DrawingSurface.
    void clear() override;
    // Draws in the line width scaled to the image's device pixels (rasterLine()): with round ends
    // from width 2 up, with square ends at width 1 on a denser screen. Each end is first moved half
    // a pixel right and down, so that an end on a pixel's corner stands in the middle of that
    // pixel. Colours are drawn opaque.
    void segment(float x1, float y1, float x2, float y2, const QColor &color) override;
    void rectangle(float x1, float y1, float x2, float y2, const QColor &color) override;
    void setTextPosition(float x, float y) override;
    void print(const QString &text) override;
    QColor foreground() const override { return m_foreground; }
    void setForeground(const QColor &color) override { m_foreground = color; }
    int lineWidth() const override { return m_lineWidth; }
    void setLineWidth(int pixels) override; // kept in 1..5
    double width() const override;          // outer width in twips

    int pixelWidth() const { return QWidget::width(); }
    float textX() const { return m_textX; }
    float textY() const { return m_textY; }

    QColor backgroundColor() const { return m_background; }
    // Fills the drawing with the new colour (as a clear does, without moving the text position).
    void setBackgroundColor(const QColor &color);

    // The drawing as it stands (device pixels; devicePixelRatio() tells the scale).
    const QImage &image() const { return m_image; }
    // What the chart shows inside its border: the drawing, the line controls and the labels on it.
    QImage picture();

    // Line controls, painted in the order they were added. The chart area owns them.
    LineControl *addLine(const QString &name, double x1, double y1, double x2, double y2,
                         const QColor &color, bool dotted = false, bool visible = true);
    LineControl *line(const QString &name) const;
    const QList<LineControl *> &lines() const { return m_lines; }

    // Widget pixel position of a client point in twips, and the pixel rectangle of a child
    // control placed at left, top, width, height twips of the client area.
    QPointF toPixels(double x, double y) const;
    QRect childRect(int left, int top, int width, int height) const;
    // Client twips of a widget pixel position.
    QPointF toTwips(const QPointF &pixel) const;

    // Key code the chart handlers know for a Qt key: 37 left arrow, 39 right arrow, else 0.
    static int keyCode(int qtKey);

Q_SIGNALS:
    void mouseMoved(float x, float y);
    void mousePressed(int button, float x, float y);
    void keyPressed(int keyCode);
    void saveRequested(); // Ctrl+S

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QSize clientSize() const;
    // Makes the image match the client size and the device pixel ratio, keeping the drawing.
    void ensureImage();
    // Widget rectangle a line control covers as painted (empty when hidden).
    QRect lineRect(const LineControl &line) const;
    // Asks once, through the event loop, for the repaint of what was drawn and of the line
    // controls that changed since the last request.
    void queueRepaint();
    void repaintDirty();

    QImage m_image;
    QColor m_background;
    QColor m_foreground;
    int m_lineWidth = 1;
    float m_textX = 0;
    float m_textY = 0;
    QList<LineControl *> m_lines;
    struct LineState {
        QRect shown;          // widget rectangle last asked to be repainted for the line
        bool changed = false; // moved or restyled since
    };
    QList<LineState> m_lineStates; // by index in m_lines
    QRect m_dirty;                 // drawn since the last repaint request
    bool m_repaintQueued = false;
};

} // namespace platine
