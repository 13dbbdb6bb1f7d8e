#include "chart/ChartArea.h"

#include "chart/ChartInputs.h"
#include "chart/LineControl.h"
#include "chart/LineRaster.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace platine {

ChartArea::ChartArea(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_surface.setForeground(palette().color(QPalette::Active, QPalette::ButtonText));
    m_surface.onChange([this] { queueRepaint(); });
}

ChartArea::~ChartArea() = default;

QSize ChartArea::clientSize() const
{
    return {std::max(1, width() - 2 * kBorder), std::max(1, height() - 2 * kBorder)};
}

void ChartArea::syncSurface()
{
    m_surface.setGeometry(clientSize(), devicePixelRatioF(), twipsWidth());
}

ChartImage &ChartArea::surface()
{
    syncSurface();
    m_surface.setFont(font());
    return m_surface;
}

LineControl *ChartArea::addLine(const QString &name, double x1, double y1, double x2, double y2,
                                const QColor &color, bool dotted, bool visible)
{
    auto *lineControl = new LineControl(name, x1, y1, x2, y2, color, this);
    lineControl->setDotted(dotted);
    lineControl->setVisible(visible);
    const qsizetype index = m_lines.size();
    connect(lineControl, &LineControl::changed, this, [this, index] {
        m_lineStates[index].changed = true;
        queueRepaint();
    });
    m_lines.append(lineControl);
    m_lineStates.append({lineRect(*lineControl), false});
    update(m_lineStates.last().shown);
    return lineControl;
}

QRect ChartArea::lineRect(const LineControl &line) const
{
    if (!line.isVisible())
        return {};
    const auto s = clipToLimit(line.x1(), line.y1(), line.x2(), line.y2());
    if (!s)
        return {};
    // The pixels the one-pixel pen covers around the line through the pixel middles, one more
    // for the pen's width and one for rounding to device pixels. Not cut to the client area, so
    // that it still holds after a resize.
    return QRectF(pixelCentre(s->x1, s->y1), pixelCentre(s->x2, s->y2))
        .normalized()
        .adjusted(-2, -2, 2, 2)
        .toAlignedRect()
        .translated(kBorder, kBorder);
}

void ChartArea::queueRepaint()
{
    if (m_repaintQueued)
        return;
    m_repaintQueued = true;
    QMetaObject::invokeMethod(this, &ChartArea::repaintDirty, Qt::QueuedConnection);
}

void ChartArea::repaintDirty()
{
    m_repaintQueued = false;
    if (const QRect drawn = m_surface.takeChanges(); !drawn.isEmpty())
        update(drawn.translated(kBorder, kBorder));
    // A line control that moved: where it was and where it is now, each on its own, so that a
    // cursor crossing the chart repaints two thin strips.
    for (qsizetype i = 0; i < m_lineStates.size(); ++i) {
        LineState &state = m_lineStates[i];
        if (!state.changed)
            continue;
        state.changed = false;
        const QRect now = lineRect(*m_lines.at(i));
        update(state.shown);
        if (now != state.shown)
            update(now);
        state.shown = now;
    }
}

LineControl *ChartArea::line(const QString &name) const
{
    for (LineControl *l : m_lines) {
        if (l->objectName() == name)
            return l;
    }
    return nullptr;
}

QPointF ChartArea::toPixels(double x, double y) const
{
    return pixelPoint(x, y) + QPointF(kBorder, kBorder);
}

QRect ChartArea::childRect(int left, int top, int width, int height) const
{
    const auto px = [](int t) { return int(std::lround(t / kTwipsPerPixel)); };
    return QRect(px(left) + kBorder, px(top) + kBorder, px(width), px(height));
}

QPointF ChartArea::toTwips(const QPointF &pixel) const
{
    return (pixel - QPointF(kBorder, kBorder)) * kTwipsPerPixel;
}

bool ChartArea::event(QEvent *event)
{
    if (event->type() == QEvent::ScreenChangeInternal)
        syncSurface(); // a new pixel ratio, before anything more is drawn
    return QWidget::event(event);
}

void ChartArea::paintEvent(QPaintEvent *event)
{
    syncSurface();
    const QRect client(QPoint(kBorder, kBorder), clientSize());
    const QRect dirty = event->rect();
    QPainter p(this);
    // The paint system clips the drawing to the region.
    p.drawImage(QPointF(kBorder, kBorder), m_surface.image());

    p.save();
    p.setClipRect(client);
    p.translate(kBorder, kBorder);
    for (const LineControl *l : std::as_const(m_lines)) {
        if (!lineRect(*l).intersects(dirty))
            continue;
        const auto s = clipToLimit(l->x1(), l->y1(), l->x2(), l->y2());
        // One pixel of the layout: two device pixels on a double-density screen.
        const QPen pen(l->color(), 1, l->isDotted() ? Qt::DotLine : Qt::SolidLine);
        p.setPen(pen);
        p.drawLine(pixelCentre(s->x1, s->y1), pixelCentre(s->x2, s->y2));
    }
    p.restore();

    if (!client.contains(dirty))
        qDrawWinPanel(&p, rect(), palette(), true, nullptr);
}

void ChartArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    syncSurface();
}

namespace {

int mouseButtons(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= chart::kLeftButton;
    if (buttons & Qt::RightButton)
        code |= chart::kRightButton;
    if (buttons & Qt::MiddleButton)
        code |= chart::kMiddleButton;
    return code;
}

} // namespace

void ChartArea::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF t = toTwips(event->position());
    Q_EMIT mouseMoved(float(t.x()), float(t.y()));
}

void ChartArea::mousePressEvent(QMouseEvent *event)
{
    const int button = mouseButtons(event->button());
    if (button == 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A double click acts as one click: the press that makes it a double click is not passed on.
    if (event->flags().testFlag(Qt::MouseEventCreatedDoubleClick))
        return;
    setFocus(Qt::MouseFocusReason);
    const QPointF t = toTwips(event->position());
    Q_EMIT mousePressed(button, float(t.x()), float(t.y()));
}

void ChartArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept(); // its press has been seen already
}

void ChartArea::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() == Qt::ControlModifier;
    if (ctrl && event->key() == Qt::Key_C)
        QGuiApplication::clipboard()->setImage(picture());
    else if (ctrl && event->key() == Qt::Key_S)
        Q_EMIT saveRequested();
    else
        Q_EMIT keyPressed(keyCode(event->key()));
}

void ChartArea::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const bool along = delta.x() != 0 || event->modifiers().testFlag(Qt::ShiftModifier);
    // One notch is 120; a touchpad gives less, and so zooms by less.
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    if (notches == 0)
        return;
    event->accept();
    Q_EMIT wheelTurned(notches, along, float(toTwips(event->position()).x()));
}

QImage ChartArea::picture()
{
    return grab(QRect(QPoint(kBorder, kBorder), clientSize())).toImage();
}

int ChartArea::keyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left: return chart::kKeyLeft;
    case Qt::Key_Right: return chart::kKeyRight;
    case Qt::Key_Escape: return chart::kKeyEscape;
    case Qt::Key_PageUp: return chart::kKeyPageUp;
    case Qt::Key_PageDown: return chart::kKeyPageDown;
    case Qt::Key_End: return chart::kKeyEnd;
    case Qt::Key_Home: return chart::kKeyHome;
    case Qt::Key_Plus: return chart::kKeyPlus;
    case Qt::Key_Minus: return chart::kKeyMinus;
    default: return chart::kOtherKey;
    }
}

} // namespace platine
