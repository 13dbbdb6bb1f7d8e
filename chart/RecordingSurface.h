#pragma once
// A drawing surface that draws nothing and keeps a list of every operation asked of it, in order,
// with the exact single-precision coordinates, colours and texts. Used by the tests to compare the
// drawings with the expected segments, and by the benchmarks as a baseline without painting cost.

#include "chart/DrawingSurface.h"

#include <QColor>
#include <QList>
#include <QString>

namespace platine {

class RecordingSurface : public DrawingSurface
{
public:
    enum class Kind { Clear, Segment, Rectangle, SetTextPosition, Print, SetForeground, SetLineWidth };

    struct Operation {
        Kind kind = Kind::Clear;
        // Segment and Rectangle: the two points. SetTextPosition: (x1, y1).
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        // Segment and Rectangle: their colour. Print and SetForeground: the foreground colour.
        QColor color;
        // Print: the printed text.
        QString text;
        // Print: the text position the text was printed at.
        float textX = 0, textY = 0;
        // SetLineWidth: the new width in pixels. Segment and Rectangle: the width in use.
        int lineWidth = 1;
    };

    explicit RecordingSurface(double width = 12405.0);

    void clear() override;
    void segment(float x1, float y1, float x2, float y2, const QColor &color) override;
    void rectangle(float x1, float y1, float x2, float y2, const QColor &color) override;
    void setTextPosition(float x, float y) override;
    void print(const QString &text) override;
    QColor foreground() const override { return m_foreground; }
    void setForeground(const QColor &color) override;
    int lineWidth() const override { return m_lineWidth; }
    void setLineWidth(int pixels) override;
    double width() const override { return m_width; }

    void setWidth(double width) { m_width = width; }
    // Height of one printed line in twips: print moves the text position down by it.
    void setLineHeight(float twips) { m_lineHeight = twips; }
    float textX() const { return m_textX; }
    float textY() const { return m_textY; }

    const QList<Operation> &operations() const { return m_ops; }
    // The operations of one kind, in order.
    QList<Operation> operations(Kind kind) const;
    // The operations of one kind since the last clear (everything that is on the surface now).
    QList<Operation> visible(Kind kind) const;
    qsizetype count(Kind kind) const;
    // Forgets the recorded operations (keeps the text position, colours and width).
    void forget() { m_ops.clear(); }
    void reserve(qsizetype n) { m_ops.reserve(n); }

private:
    QList<Operation> m_ops;
    double m_width;
    QColor m_foreground = QColor(0, 0, 0);
    int m_lineWidth = 1;
    float m_textX = 0, m_textY = 0;
    float m_lineHeight = 195;
};

} // namespace platine
