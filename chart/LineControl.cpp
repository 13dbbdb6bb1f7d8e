#include "chart/LineControl.h"

namespace platine {

LineControl::LineControl(const QString &name, double x1, double y1, double x2, double y2,
                         const QColor &color, QObject *parent)
    : QObject(parent), m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2), m_color(color)
{
    setObjectName(name);
}

void LineControl::set(double &field, double value)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT changed();
}

void LineControl::setX1(double x)
{
    set(m_x1, x);
}
void LineControl::setY1(double y)
{
    set(m_y1, y);
}
void LineControl::setX2(double x)
{
    set(m_x2, x);
}
void LineControl::setY2(double y)
{
    set(m_y2, y);
}

void LineControl::setPoints(double x1, double y1, double x2, double y2)
{
    if (m_x1 == x1 && m_y1 == y1 && m_x2 == x2 && m_y2 == y2)
        return;
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    Q_EMIT changed();
}

void LineControl::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    Q_EMIT changed();
}

void LineControl::setDotted(bool dotted)
{
    if (m_dotted == dotted)
        return;
    m_dotted = dotted;
    Q_EMIT changed();
}

void LineControl::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    Q_EMIT changed();
}

} // namespace platine
