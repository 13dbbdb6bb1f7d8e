#pragma once
// Picture1: the chart area of the viewer window.
//
// It shows its drawing (a ChartImage, what the chart drawings draw on), keeps it the size of its
// client area and the screen's pixel ratio, and paints above it its line controls (axes, grid,
// cursors); labels are ordinary child widgets and stand above both. Drawing marks the part of the
// widget it touched and a single repaint of that part follows once control returns to the event
// loop; moving a line control repaints only where the line was and where it now is.
//
// Coordinates are twips of the client area (inside the 2-pixel sunken border), origin top-left,
// Y downwards; 15 twips make one pixel. The mouse and the keyboard are reported in the same terms
// as the chart handlers take them (chart/ChartInputs.h). A double click counts as one click.
// Ctrl+C copies the chart's picture to the clipboard and Ctrl+S asks for it to be saved; neither
// reaches the chart handlers.

#include "chart/ChartImage.h"
#include "platform/Placement.h"

#include <QImage>
#include <QList>
#include <QWidget>

namespace platine {

class LineControl;

class ChartArea : public QWidget, public TwipsContainer
{
    Q_OBJECT
public:
    static constexpr int kBorder = 2; // pixels of the sunken border
    static constexpr double kTwipsPerPixel = ChartImage::kTwipsPerPixel;

    explicit ChartArea(QWidget *parent = nullptr);
    ~ChartArea() override;

    // The drawing, brought to the widget's size, pixel ratio and font.
    ChartImage &surface();
    const ChartImage &drawing() const { return m_surface; }
    // The outer width in twips (W), as the drawing has it, without bringing the drawing up to date.
    double twipsWidth() const { return width() * kTwipsPerPixel; }

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
    QRect childRect(int left, int top, int width, int height) const override;
    // Client twips of a widget pixel position.
    QPointF toTwips(const QPointF &pixel) const;

    // Key code the chart handlers know for a Qt key: the arrows, page keys, home, end, escape,
    // "+" and "-", else kOtherKey.
    static int keyCode(int qtKey);

Q_SIGNALS:
    void mouseMoved(float x, float y);
    void mousePressed(int button, float x, float y);
    void keyPressed(int keyCode);
    // The wheel turned `notches` (positive: away from the user); `along` with Shift held or for
    // a horizontal wheel. x: where the mouse is (twips).
    void wheelTurned(double notches, bool along, float x);
    void saveRequested(); // Ctrl+S

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QSize clientSize() const;
    // Tells the drawing the client size, the pixel ratio and the outer width.
    void syncSurface();
    // Widget rectangle a line control covers as painted (empty when hidden).
    QRect lineRect(const LineControl &line) const;
    // Asks once, through the event loop, for the repaint of what was drawn and of the line
    // controls that changed since the last request.
    void queueRepaint();
    void repaintDirty();

    ChartImage m_surface;
    QList<LineControl *> m_lines;
    struct LineState {
        QRect shown;          // widget rectangle last asked to be repainted for the line
        bool changed = false; // moved or restyled since
    };
    QList<LineState> m_lineStates; // by index in m_lines
    bool m_repaintQueued = false;
};

} // namespace platine
