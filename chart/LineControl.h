#pragma once
// A line control standing on the chart area (the axes, the grid lines, the cursors): two end
// points in twips of the chart area's client coordinates, a colour, a dotted style and a
// visibility. It is drawn by its ChartArea above the drawing and below the labels; every change
// schedules a repaint of the chart area.

#include <QColor>
#include <QObject>
#include <QString>

namespace platine {

class LineControl : public QObject
{
    Q_OBJECT
public:
    // name is the control's name, used as objectName ("Line29", "Line31(0)", "curseur", ...).
    LineControl(const QString &name, double x1, double y1, double x2, double y2,
                const QColor &color, QObject *parent = nullptr);

    double x1() const { return m_x1; }
    double y1() const { return m_y1; }
    double x2() const { return m_x2; }
    double y2() const { return m_y2; }
    QColor color() const { return m_color; }
    bool isDotted() const { return m_dotted; }
    bool isVisible() const { return m_visible; }

    void setX1(double x);
    void setY1(double y);
    void setX2(double x);
    void setY2(double y);
    void setPoints(double x1, double y1, double x2, double y2);
    void setColor(const QColor &color);
    void setDotted(bool dotted);
    void setVisible(bool visible);

Q_SIGNALS:
    void changed();

private:
    void set(double &field, double value);

    double m_x1, m_y1, m_x2, m_y2;
    QColor m_color;
    bool m_dotted = false;
    bool m_visible = true;
};

} // namespace platine
