#pragma once
// A drawing surface that draws nothing and writes down what is on it, as text: one line an
// operation since the last clear, coordinates rounded to hundredths of a twip:
//   "S x1,y1 x2,y2 #rrggbb" a segment, "R x1,y1 x2,y2 #rrggbb" a rectangle outline,
//   "P x,y text #rrggbb" a text printed at x, y in the foreground colour (the text position is
//   not moved on).

#include "chart/DrawingSurface.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace platine::test {

class RecordingSurface : public DrawingSurface
{
public:
    QStringList drawn; // since the last clear
    int clears = 0;

    void clear() override
    {
        drawn.clear();
        ++clears;
    }
    void segment(float x1, float y1, float x2, float y2, const QColor &color) override
    {
        drawn << shape("S", x1, y1, x2, y2, color);
    }
    void rectangle(float x1, float y1, float x2, float y2, const QColor &color) override
    {
        drawn << shape("R", x1, y1, x2, y2, color);
    }
    void setTextPosition(float x, float y) override
    {
        m_textX = x;
        m_textY = y;
    }
    void print(const QString &text) override
    {
        drawn << QStringLiteral("P %1,%2 %3 %4")
                     .arg(number(m_textX), number(m_textY), text, m_foreground.name());
    }
    QColor foreground() const override { return m_foreground; }
    void setForeground(const QColor &color) override { m_foreground = color; }
    int lineWidth() const override { return 1; } // not recorded: the drawings leave it as it is
    void setLineWidth(int) override {}
    double width() const override { return 12405; } // the viewer's chart area

    qsizetype segments() const { return drawn.filter(QRegularExpression(u"^S "_qs)).size(); }

private:
    static QString number(float v) { return QString::number(std::round(v * 100.0) / 100, 'g', 12); }
    static QString shape(const char *kind, float x1, float y1, float x2, float y2, const QColor &c)
    {
        return QStringLiteral("%1 %2,%3 %4,%5 %6")
            .arg(QLatin1String(kind), number(x1), number(y1), number(x2), number(y2), c.name());
    }

    QColor m_foreground = Qt::black;
    float m_textX = 0, m_textY = 0;
};

} // namespace platine::test
