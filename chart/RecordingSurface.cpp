#include "chart/RecordingSurface.h"

#include <algorithm>

namespace platine {

RecordingSurface::RecordingSurface(double width)
    : m_width(width)
{
}

namespace {

RecordingSurface::Operation shape(RecordingSurface::Kind kind, float x1, float y1, float x2,
                                  float y2, const QColor &color, int lineWidth)
{
    RecordingSurface::Operation op;
    op.kind = kind;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    op.lineWidth = lineWidth;
    return op;
}

} // namespace

void RecordingSurface::clear()
{
    m_textX = 0;
    m_textY = 0;
    Operation op;
    op.kind = Kind::Clear;
    m_ops.append(op);
}

void RecordingSurface::segment(float x1, float y1, float x2, float y2, const QColor &color)
{
    m_ops.append(shape(Kind::Segment, x1, y1, x2, y2, color, m_lineWidth));
}

void RecordingSurface::rectangle(float x1, float y1, float x2, float y2, const QColor &color)
{
    m_ops.append(shape(Kind::Rectangle, x1, y1, x2, y2, color, m_lineWidth));
}

void RecordingSurface::setTextPosition(float x, float y)
{
    m_textX = x;
    m_textY = y;
    Operation op;
    op.kind = Kind::SetTextPosition;
    op.x1 = x;
    op.y1 = y;
    m_ops.append(op);
}

void RecordingSurface::print(const QString &text)
{
    Operation op;
    op.kind = Kind::Print;
    op.color = m_foreground;
    op.text = text;
    op.textX = m_textX;
    op.textY = m_textY;
    m_ops.append(op);
    // The line break that follows the text: back to the left edge, one line down.
    m_textX = 0;
    m_textY += m_lineHeight;
}

void RecordingSurface::setForeground(const QColor &color)
{
    m_foreground = color;
    Operation op;
    op.kind = Kind::SetForeground;
    op.color = color;
    m_ops.append(op);
}

void RecordingSurface::setLineWidth(int pixels)
{
    m_lineWidth = pixels;
    Operation op;
    op.kind = Kind::SetLineWidth;
    op.lineWidth = pixels;
    m_ops.append(op);
}

QList<RecordingSurface::Operation> RecordingSurface::operations(Kind kind) const
{
    QList<Operation> out;
    for (const Operation &op : m_ops)
        if (op.kind == kind)
            out.append(op);
    return out;
}

QList<RecordingSurface::Operation> RecordingSurface::visible(Kind kind) const
{
    auto lastClear = std::find_if(m_ops.crbegin(), m_ops.crend(),
                                  [](const Operation &op) { return op.kind == Kind::Clear; });
    QList<Operation> out;
    for (auto it = lastClear.base(); it != m_ops.cend(); ++it)
        if (it->kind == kind)
            out.append(*it);
    return out;
}

qsizetype RecordingSurface::count(Kind kind) const
{
    return std::count_if(m_ops.cbegin(), m_ops.cend(),
                         [kind](const Operation &op) { return op.kind == kind; });
}

} // namespace platine
