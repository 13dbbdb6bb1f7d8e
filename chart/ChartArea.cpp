#include "chart/ChartArea.h"

#include "chart/LineControl.h"
#include "chart/LineRaster.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace platine {

namespace {

QPointF pixelPoint(double x, double y)
{
    return {x / ChartArea::kTwipsPerPixel, y / ChartArea::kTwipsPerPixel};
}

// Lines are drawn through the middle of the pixel a point falls in, so that a one-pixel line
// covers exactly that pixel at any device pixel ratio.
QPointF pixelCentre(double x, double y)
{
    return pixelPoint(x, y) + QPointF(0.5, 0.5);
}

} // namespace

ChartArea::ChartArea(QWidget *parent)
    : QWidget(parent),
      m_background(192, 192, 192),
      m_foreground(palette().color(QPalette::Active, QPalette::ButtonText))
{
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

ChartArea::~ChartArea() = default;

QSize ChartArea::clientSize() const
{
    return {std::max(1, QWidget::width() - 2 * kBorder), std::max(1, height() - 2 * kBorder)};
}

namespace {

QSize deviceSize(const QSize &size, qreal dpr)
{
    return {qCeil(size.width() * dpr), qCeil(size.height() * dpr)};
}

} // namespace

void ChartArea::ensureImage()
{
    const qreal dpr = devicePixelRatioF();
    const QSize device = deviceSize(clientSize(), dpr);
    if (!m_image.isNull() && m_image.size() == device && m_image.devicePixelRatio() == dpr)
        return;
    QImage image(device, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(m_background);
    if (!m_image.isNull()) {
        QPainter p(&image);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QPointF(0, 0), m_image);
    }
    m_image = std::move(image);
}

void ChartArea::clear()
{
    ensureImage();
    m_image.fill(m_background);
    m_textX = 0;
    m_textY = 0;
    update();
}

void ChartArea::setBackgroundColor(const QColor &color)
{
    m_background = color;
    ensureImage();
    m_image.fill(m_background);
    update();
}

void ChartArea::segment(float x1, float y1, float x2, float y2, const QColor &color)
{
    const auto s = clipToLimit(x1, y1, x2, y2);
    if (!s || color.alpha() == 0)
        return;
    // Asking the screen for the pixel ratio costs more than drawing a short segment: here only
    // the size is checked; a change of screen is followed in event().
    if (m_image.isNull() || m_image.size() != deviceSize(clientSize(), m_image.devicePixelRatio()))
        ensureImage();
    const double dpr = m_image.devicePixelRatio();
    // Device coordinates through the middle of the pixels.
    const QPointF a = pixelCentre(s->x1, s->y1) * dpr, b = pixelCentre(s->x2, s->y2) * dpr;
    const QRect drawn = rasterLine(m_image, a.x(), a.y(), b.x(), b.y(), m_lineWidth * dpr,
                                   m_lineWidth > 1, color);
    if (drawn.isEmpty())
        return;
    // What may have changed, in widget pixels.
    m_dirty |= QRectF(QPointF(drawn.topLeft()) / dpr,
                      QPointF(drawn.bottomRight() + QPoint(1, 1)) / dpr)
                   .toAlignedRect()
                   .translated(kBorder, kBorder);
    queueRepaint();
}

void ChartArea::rectangle(float x1, float y1, float x2, float y2, const QColor &color)
{
    // An outline of no width (a logic edge) or no height is the line itself, drawn once.
    if ((x1 == x2 || y1 == y2) && std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2)
        && std::isfinite(y2)) {
        segment(x1, y1, x2, y2, color);
        return;
    }
    segment(x1, y1, x2, y1, color);
    segment(x2, y1, x2, y2, color);
    segment(x2, y2, x1, y2, color);
    segment(x1, y2, x1, y1, color);
}

void ChartArea::setTextPosition(float x, float y)
{
    m_textX = x;
    m_textY = y;
}

void ChartArea::print(const QString &text)
{
    ensureImage();
    QPainter p(&m_image);
    p.setFont(font());
    const QFontMetricsF metrics = p.fontMetrics();
    if (std::isfinite(m_textX) && std::isfinite(m_textY) && std::abs(m_textX) < kClipLimit
        && std::abs(m_textY) < kClipLimit) {
        p.setPen(m_foreground);
        p.drawText(pixelPoint(m_textX, m_textY) + QPointF(0, metrics.ascent()), text);
    }
    m_textX = 0;
    m_textY += float(metrics.height() * kTwipsPerPixel);
    update();
}

void ChartArea::setLineWidth(int pixels)
{
    m_lineWidth = std::clamp(pixels, 1, 5);
}

double ChartArea::width() const
{
    return QWidget::width() * kTwipsPerPixel;
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
    if (!m_dirty.isEmpty())
        update(m_dirty);
    m_dirty = QRect();
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
    if (event->type() == QEvent::ScreenChangeInternal && !m_image.isNull())
        ensureImage(); // a new pixel ratio, before anything more is drawn
    return QWidget::event(event);
}

void ChartArea::paintEvent(QPaintEvent *event)
{
    ensureImage();
    const QRect client(QPoint(kBorder, kBorder), clientSize());
    const QRect dirty = event->rect();
    QPainter p(this);
    p.drawImage(QPointF(kBorder, kBorder), m_image); // the paint system clips it to the region

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
    ensureImage();
}

namespace {

int mouseButtons(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
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

QImage ChartArea::picture()
{
    return grab(QRect(QPoint(kBorder, kBorder), clientSize())).toImage();
}

int ChartArea::keyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left: return 37;
    case Qt::Key_Right: return 39;
    default: return 0;
    }
}

} // namespace platine
