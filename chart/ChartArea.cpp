#include "chart/ChartArea.h"

#include "chart/LineControl.h"

#include <QFontMetricsF>
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

// Floor and ceiling of values already cut to a few thousand pixels either side of the image,
// without a library call.
constexpr double kBias = 1 << 24;
int floorNear(double v)
{
    return int(v + kBias) - int(kBias);
}
int ceilNear(double v)
{
    return int(kBias) - int(kBias - v);
}

// Writes runs of pixels in an opaque colour.
struct OpaqueColour {
    quint32 pixel;
    void operator()(quint32 *p, int count) const
    {
        for (int i = 0; i < count; ++i)
            p[i] = pixel;
    }
};

// Blends a translucent colour over the opaque drawing, as a painter's source-over would.
struct TranslucentColour {
    quint32 pixel;
    int alpha;
    void operator()(quint32 *p, int count) const
    {
        for (int i = 0; i < count; ++i) {
            const quint32 d = p[i];
            const auto mix = [&](int shift) {
                const int sc = int(pixel >> shift) & 0xff, dc = int(d >> shift) & 0xff;
                return quint32((sc * alpha + dc * (255 - alpha) + 127) / 255) << shift;
            };
            p[i] = 0xff000000u | mix(16) | mix(8) | mix(0);
        }
    }
};

// The pixels of an RGB32 image as the segment writer sees them, and how it writes its colour.
template <typename Write>
class Pixels
{
public:
    Pixels(QImage &image, Write write)
        : m_width(image.width()),
          m_height(image.height()),
          m_stride(image.bytesPerLine()),
          m_bits(image.bits()), // once: bits() detaches a shared image at every call
          m_write(write)
    {
        Q_ASSERT(image.format() == QImage::Format_RGB32);
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    quint32 *row(int y) const { return reinterpret_cast<quint32 *>(m_bits + y * m_stride); }
    qsizetype stride() const { return m_stride; }

    void point(int x, int y)
    {
        if (unsigned(x) < unsigned(m_width) && unsigned(y) < unsigned(m_height))
            m_write(row(y) + x, 1);
    }
    // Pixel x of a row, cut to the image.
    void point(quint32 *row, int x)
    {
        if (unsigned(x) < unsigned(m_width))
            m_write(row + x, 1);
    }
    // Pixels from..to (both included) of a row, cut to the image.
    void span(quint32 *row, int from, int to)
    {
        from = std::max(from, 0);
        to = std::min(to, m_width - 1);
        if (from <= to)
            m_write(row + from, to - from + 1);
    }

private:
    int m_width, m_height;
    qsizetype m_stride;
    uchar *m_bits;
    Write m_write;
};

// Cuts the segment to the box [x0, x1] x [y0, y1] (Liang-Barsky); false when nothing is left.
// An end inside the box keeps its exact coordinates.
bool cutToBox(double &ax, double &ay, double &bx, double &by, double x0, double y0, double x1,
              double y1)
{
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    if (t1 < 1) {
        bx = ax + t1 * dx;
        by = ay + t1 * dy;
    }
    if (t0 > 0) {
        ax += t0 * dx;
        ay += t0 * dy;
    }
    return true;
}

// A line one device pixel wide: for each row (steep line) or column (flat line) from the pixel of
// one end to the pixel of the other, the pixel the line crosses at the middle of that row or
// column (or at its end, where the end comes first), and both end pixels. Coordinates are device
// pixels, pixel (i, j) covering [i, i+1) x [j, j+1).
template <typename Px>
void thinLine(Px &px, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    if (std::abs(dy) >= std::abs(dx)) {
        if (ay > by) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        const double slope = dy != 0 ? (bx - ax) / (by - ay) : 0;
        const auto at = [&](int y) { return ax + (std::clamp(y + 0.5, ay, by) - ay) * slope; };
        const int first = std::max(floorNear(ay), 0);
        const int last = std::min(floorNear(by), px.height() - 1);
        if (first < last) {
            px.point(floorNear(at(first)), first);
            px.point(floorNear(at(last)), last);
            // The rows between have their middles inside the segment.
            const double base = ax + (0.5 - ay) * slope;
            quint32 *row = px.row(first + 1);
            for (int y = first + 1; y < last; ++y) {
                px.point(row, floorNear(base + y * slope));
                row = reinterpret_cast<quint32 *>(reinterpret_cast<uchar *>(row) + px.stride());
            }
        } else if (first == last) {
            px.point(floorNear(at(first)), first);
        }
    } else {
        if (ax > bx) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        const double slope = (by - ay) / (bx - ax);
        const int first = std::max(floorNear(ax), 0);
        const int last = std::min(floorNear(bx), px.width() - 1);
        for (int x = first; x <= last; ++x) {
            const double xc = std::clamp(x + 0.5, ax, bx);
            px.point(x, floorNear(ay + (xc - ax) * slope));
        }
    }
    px.point(floorNear(ax), floorNear(ay));
    px.point(floorNear(bx), floorNear(by));
}

// A wider line: every pixel whose centre lies within r of the segment (round ends), or within the
// rectangle around it that goes on r beyond each end (square ends). Both shapes are convex, so
// each row holds one run of pixels.
template <typename Px>
void wideLine(Px &px, double ax, double ay, double bx, double by, double r, bool roundEnds)
{
    if (ay > by) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const double length = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
    const double ux = length > 0 ? (bx - ax) / length : 1.0; // along the line
    const double uy = length > 0 ? (by - ay) / length : 0.0; // >= 0
    const double e = roundEnds ? 0.0 : r;                     // how far the body goes on
    const double reach = roundEnds ? r : e * uy + r * std::abs(ux);
    const int first = std::max(ceilNear(ay - reach - 0.5), 0);
    const int last = std::min(ceilNear(by + reach - 0.5) - 1, px.height() - 1);
    if (first > last)
        return;

    // Any row: the body (along the line s in [-e, length + e], across it |t| <= r) and the round
    // ends, joined (the shape is convex); the pixels whose centres lie in the run.
    const double overUx = ux != 0 ? 1 / ux : 0, overUy = uy != 0 ? 1 / uy : 0;
    const auto anyRow = [&](int y) {
        const double yc = y + 0.5, py = yc - ay;
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        double l = -std::numeric_limits<double>::infinity(), h = -l; // x - ax in the body
        bool body = true;
        if (ux != 0) {
            double s0 = (-e - py * uy) * overUx, s1 = (length + e - py * uy) * overUx;
            if (s0 > s1)
                std::swap(s0, s1);
            l = std::max(l, s0);
            h = std::min(h, s1);
        } else {
            const double s = py * uy;
            body = s >= -e && s <= length + e;
        }
        if (uy != 0) {
            l = std::max(l, (py * ux - r) * overUy);
            h = std::min(h, (py * ux + r) * overUy);
        } else {
            body = body && std::abs(py * ux) <= r;
        }
        if (body && l <= h) {
            lo = ax + l;
            hi = ax + h;
        }
        if (roundEnds) {
            for (const auto &[cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
                const double d2 = r * r - (yc - cy) * (yc - cy);
                if (d2 > 0) {
                    const double half = std::sqrt(d2);
                    lo = std::min(lo, cx - half);
                    hi = std::max(hi, cx + half);
                }
            }
        }
        lo = std::max(lo, -2.0);
        hi = std::min(hi, px.width() + 2.0);
        if (lo < hi)
            px.span(px.row(y), ceilNear(lo - 0.5), ceilNear(hi - 0.5) - 1);
    };

    // The rows between ay + r|ux| and by - r|ux| cross only the body's long sides (the round
    // ends and the square ends' corners stay nearer the ends): a run of the same length, moving
    // by a fixed step from row to row, and never longer than the segment, so its ends stay within
    // reach of ceilNear.
    int middleFirst = last + 1, middleLast = last;
    if (uy > 0) {
        const double inset = r * std::abs(ux) + 1e-7;
        middleFirst = std::max(first, ceilNear(ay + inset - 0.5));
        middleLast = std::min(last, ceilNear(by - inset - 0.5) - 1);
        if (middleFirst > middleLast) {
            middleFirst = last + 1;
            middleLast = last;
        }
    }
    for (int y = first; y < middleFirst; ++y)
        anyRow(y);
    if (middleFirst <= middleLast) {
        // The run's ends less half a pixel, in 32.32 fixed point, from row to row; the ceiling
        // of each gives the first pixel in the run and the first pixel after it.
        const double step = ux / uy, half = r / uy;
        const double from = ax + (middleFirst + 0.5 - ay) * step - half - 0.5;
        constexpr double kOne = 4294967296.0;
        constexpr qint64 kCeil = (qint64(1) << 32) - 1;
        qint64 start = qint64(std::llround(from * kOne));
        const qint64 length = qint64(std::llround(2 * half * kOne));
        const qint64 advance = qint64(std::llround(step * kOne));
        quint32 *row = px.row(middleFirst);
        for (int y = middleFirst; y <= middleLast; ++y) {
            px.span(row, int((start + kCeil) >> 32), int((start + length + kCeil) >> 32) - 1);
            start += advance;
            row = reinterpret_cast<quint32 *>(reinterpret_cast<uchar *>(row) + px.stride());
        }
    }
    for (int y = middleLast + 1; y <= last; ++y)
        anyRow(y);
}

template <typename Write>
void drawLine(QImage &image, Write write, double ax, double ay, double bx, double by,
              double width, bool roundEnds)
{
    Pixels<Write> px(image, write);
    if (width <= 1)
        thinLine(px, ax, ay, bx, by);
    else
        wideLine(px, ax, ay, bx, by, width / 2, roundEnds);
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
    const auto s = clipped(x1, y1, x2, y2);
    if (!s || color.alpha() == 0)
        return;
    // Asking the screen for the pixel ratio costs more than drawing a short segment: here only
    // the size is checked; a change of screen is followed in event().
    if (m_image.isNull() || m_image.size() != deviceSize(clientSize(), m_image.devicePixelRatio()))
        ensureImage();
    const double dpr = m_image.devicePixelRatio();
    const double width = m_lineWidth * dpr; // device pixels
    // Device coordinates through the middle of the pixels, cut to the image with a margin wider
    // than the line, so that what is left draws the same pixels.
    double ax = pixelCentre(s->x1, s->y1).x() * dpr, ay = pixelCentre(s->x1, s->y1).y() * dpr;
    double bx = pixelCentre(s->x2, s->y2).x() * dpr, by = pixelCentre(s->x2, s->y2).y() * dpr;
    const double margin = width + 2;
    if (!cutToBox(ax, ay, bx, by, -margin, -margin, m_image.width() + margin,
                  m_image.height() + margin))
        return;

    const quint32 pixel = color.rgb() | 0xff000000u;
    if (color.alpha() == 255)
        drawLine(m_image, OpaqueColour{pixel}, ax, ay, bx, by, width, m_lineWidth > 1);
    else
        drawLine(m_image, TranslucentColour{pixel, color.alpha()}, ax, ay, bx, by, width,
                 m_lineWidth > 1);

    // What may have changed, in widget pixels.
    const double reach = 0.75 * width + 1;
    m_dirty |= QRect(QPoint(floorNear((std::min(ax, bx) - reach) / dpr) + kBorder,
                            floorNear((std::min(ay, by) - reach) / dpr) + kBorder),
                     QPoint(ceilNear((std::max(ax, bx) + reach) / dpr) + kBorder,
                            ceilNear((std::max(ay, by) + reach) / dpr) + kBorder));
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
    const auto s = clipped(line.x1(), line.y1(), line.x2(), line.y2());
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
        const auto s = clipped(l->x1(), l->y1(), l->x2(), l->y2());
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
