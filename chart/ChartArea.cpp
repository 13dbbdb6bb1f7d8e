#include "chart/ChartArea.h"

#include "chart/LineControl.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <qdrawutil.h>

#include <cmath>
#include <optional>

namespace platine {

namespace {

// Coordinates are clipped to this many twips either side of the origin before painting, so that
// a segment running far outside the chart area (or one with absurd coordinates) costs nothing.
constexpr double kClipLimit = 1.0e6;

struct Segment {
    double x1, y1, x2, y2;
};

// Clips a segment to the square [-kClipLimit, kClipLimit]^2 (Cohen-Sutherland). Each end outside
// is moved to the border it crosses, computed from that end's own coordinates so that segments
// with very large coordinates keep their direction.
std::optional<Segment> clipped(double x1, double y1, double x2, double y2)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return std::nullopt;
    constexpr double L = kClipLimit;
    const auto outcode = [](double x, double y) {
        int c = 0;
        if (x < -L)
            c |= 1;
        else if (x > L)
            c |= 2;
        if (y < -L)
            c |= 4;
        else if (y > L)
            c |= 8;
        return c;
    };
    int c1 = outcode(x1, y1);
    int c2 = outcode(x2, y2);
    for (int step = 0; step < 8; ++step) {
        if ((c1 | c2) == 0)
            return Segment{x1, y1, x2, y2};
        if (c1 & c2)
            return std::nullopt;
        const bool first = c1 != 0;
        const int c = first ? c1 : c2;
        const double ax = first ? x1 : x2, ay = first ? y1 : y2; // the end moved
        const double bx = first ? x2 : x1, by = first ? y2 : y1; // the other end
        double x, y;
        if (c & 12) {
            y = (c & 8) ? L : -L;
            x = ax + (bx - ax) * ((y - ay) / (by - ay));
        } else {
            x = (c & 2) ? L : -L;
            y = ay + (by - ay) * ((x - ax) / (bx - ax));
        }
        if (first) {
            x1 = x;
            y1 = y;
            c1 = outcode(x1, y1);
        } else {
            x2 = x;
            y2 = y;
            c2 = outcode(x2, y2);
        }
    }
    return std::nullopt;
}

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

void ChartArea::ensureImage()
{
    const qreal dpr = devicePixelRatioF();
    const QSize size = clientSize();
    const QSize device(qCeil(size.width() * dpr), qCeil(size.height() * dpr));
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

QPen ChartArea::tracePen(const QColor &color) const
{
    QPen pen(color);
    if (m_lineWidth <= 1) {
        pen.setWidth(1);
        pen.setCapStyle(Qt::SquareCap);
    } else {
        pen.setWidthF(m_lineWidth);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
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
    const auto s = clipped(x1, y1, x2, y2);
    if (!s)
        return;
    ensureImage();
    QPainter p(&m_image);
    p.setPen(tracePen(color));
    p.drawLine(pixelCentre(s->x1, s->y1), pixelCentre(s->x2, s->y2));
    update();
}

void ChartArea::rectangle(float x1, float y1, float x2, float y2, const QColor &color)
{
    // Drawn as its four sides, so that a rectangle of no width is its vertical edge.
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
    connect(lineControl, &LineControl::changed, this, qOverload<>(&QWidget::update));
    m_lines.append(lineControl);
    update();
    return lineControl;
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

void ChartArea::paintEvent(QPaintEvent *)
{
    ensureImage();
    QPainter p(this);
    p.drawImage(QPointF(kBorder, kBorder), m_image);

    p.save();
    p.setClipRect(QRect(QPoint(kBorder, kBorder), clientSize()));
    p.translate(kBorder, kBorder);
    for (const LineControl *l : std::as_const(m_lines)) {
        if (!l->isVisible())
            continue;
        const auto s = clipped(l->x1(), l->y1(), l->x2(), l->y2());
        if (!s)
            continue;
        // One pixel of the layout: two device pixels on a double-density screen.
        const QPen pen(l->color(), 1, l->isDotted() ? Qt::DotLine : Qt::SolidLine);
        p.setPen(pen);
        p.drawLine(pixelCentre(s->x1, s->y1), pixelCentre(s->x2, s->y2));
    }
    p.restore();

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

int ChartArea::shiftState(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

void ChartArea::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF t = toTwips(event->position());
    Q_EMIT mouseMoved(mouseButtons(event->buttons()), shiftState(event->modifiers()), float(t.x()),
                      float(t.y()));
}

void ChartArea::mousePressEvent(QMouseEvent *event)
{
    const int button = mouseButtons(event->button());
    if (button == 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPointF t = toTwips(event->position());
    Q_EMIT mousePressed(button, shiftState(event->modifiers()), float(t.x()), float(t.y()));
}

void ChartArea::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT keyPressed(classicKeyCode(event->key(), event->modifiers()),
                      shiftState(event->modifiers()));
}

int ChartArea::classicKeyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return 96 + (qtKey - Qt::Key_0);
        switch (qtKey) {
        case Qt::Key_Asterisk: return 106;
        case Qt::Key_Plus: return 107;
        case Qt::Key_Minus: return 109;
        case Qt::Key_Period:
        case Qt::Key_Comma: return 110;
        case Qt::Key_Slash: return 111;
        default: break; // arrows and the like: the same codes as the main keys
        }
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // same codes: 'A'..'Z', '0'..'9'
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    case Qt::Key_Slash: return 191;
    case Qt::Key_QuoteLeft: return 192;
    case Qt::Key_BracketLeft: return 219;
    case Qt::Key_Backslash: return 220;
    case Qt::Key_BracketRight: return 221;
    case Qt::Key_Apostrophe: return 222;
    default: return 0;
    }
}

} // namespace platine
