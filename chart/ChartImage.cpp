#include "chart/ChartImage.h"

#include "chart/LineRaster.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platine {

QPointF pixelPoint(double x, double y)
{
    return {x / ChartImage::kTwipsPerPixel, y / ChartImage::kTwipsPerPixel};
}

QPointF pixelCentre(double x, double y)
{
    return pixelPoint(x, y) + QPointF(0.5, 0.5);
}

namespace {

QSize deviceSize(const QSize &size, qreal dpr)
{
    return {qCeil(size.width() * dpr), qCeil(size.height() * dpr)};
}

} // namespace

ChartImage::ChartImage() : m_background(192, 192, 192) {}

void ChartImage::setGeometry(const QSize &clientPixels, qreal dpr, double outerWidthTwips)
{
    m_clientSize = clientPixels.expandedTo(QSize(1, 1));
    m_dpr = dpr;
    m_outerWidth = outerWidthTwips;
    ensureImage();
}

void ChartImage::ensureImage()
{
    const QSize device = deviceSize(m_clientSize, m_dpr);
    if (!m_image.isNull() && m_image.size() == device && m_image.devicePixelRatio() == m_dpr)
        return;
    QImage image(device, QImage::Format_RGB32);
    image.setDevicePixelRatio(m_dpr);
    image.fill(m_background);
    if (!m_image.isNull()) {
        QPainter p(&image);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QPointF(0, 0), m_image);
    }
    m_image = std::move(image);
}

void ChartImage::changed(const QRect &pixels)
{
    m_changes |= pixels;
    if (!m_notified && m_changed) {
        m_notified = true;
        m_changed();
    }
}

void ChartImage::changedDevicePixels(const QRect &drawn)
{
    if (drawn.isEmpty())
        return;
    // What may have changed, in client pixels.
    changed(QRectF(QPointF(drawn.topLeft()) / m_dpr,
                   QPointF(drawn.bottomRight() + QPoint(1, 1)) / m_dpr)
                .toAlignedRect());
}

QRect ChartImage::takeChanges()
{
    m_notified = false;
    return std::exchange(m_changes, QRect());
}

void ChartImage::clear()
{
    ensureImage();
    m_image.fill(m_background);
    m_textX = 0;
    m_textY = 0;
    changed(QRect(QPoint(0, 0), m_clientSize));
}

void ChartImage::setBackgroundColor(const QColor &color)
{
    m_background = color;
    ensureImage();
    m_image.fill(m_background);
    changed(QRect(QPoint(0, 0), m_clientSize));
}

void ChartImage::segment(float x1, float y1, float x2, float y2, const QColor &color)
{
    const auto s = clipToLimit(x1, y1, x2, y2);
    if (!s || color.alpha() == 0)
        return;
    if (m_image.isNull()) // otherwise kept the owner's size by setGeometry()
        ensureImage();
    // Device coordinates through the middle of the pixels.
    const QPointF a = pixelCentre(s->x1, s->y1) * m_dpr, b = pixelCentre(s->x2, s->y2) * m_dpr;
    const QRect drawn = rasterLine(m_image, a.x(), a.y(), b.x(), b.y(), m_lineWidth * m_dpr,
                                   m_lineWidth > 1, color);
    changedDevicePixels(drawn);
}

void ChartImage::verticals(const std::vector<VerticalLine> &lines)
{
    if (m_lineWidth * m_dpr > 1) { // wider lines: one at a time
        DrawingSurface::verticals(lines);
        return;
    }
    if (m_image.isNull())
        ensureImage();
    std::vector<DeviceVertical> device;
    device.reserve(lines.size());
    for (const VerticalLine &l : lines) {
        const auto s = clipToLimit(l.x, l.y1, l.x, l.y2);
        if (!s || l.color.alpha() == 0)
            continue;
        const QPointF a = pixelCentre(s->x1, s->y1) * m_dpr, b = pixelCentre(s->x2, s->y2) * m_dpr;
        device.push_back({a.x(), a.y(), b.y(), l.color.rgb()});
    }
    changedDevicePixels(rasterVerticals(m_image, device));
}

void ChartImage::rectangle(float x1, float y1, float x2, float y2, const QColor &color)
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

void ChartImage::setTextPosition(float x, float y)
{
    m_textX = x;
    m_textY = y;
}

void ChartImage::print(const QString &text)
{
    ensureImage();
    QPainter p(&m_image);
    p.setFont(m_font);
    const QFontMetricsF metrics = p.fontMetrics();
    if (std::isfinite(m_textX) && std::isfinite(m_textY) && std::abs(m_textX) < kClipLimit
        && std::abs(m_textY) < kClipLimit) {
        p.setPen(m_foreground);
        p.drawText(pixelPoint(m_textX, m_textY) + QPointF(0, metrics.ascent()), text);
    }
    m_textX = 0;
    m_textY += float(metrics.height() * kTwipsPerPixel);
    changed(QRect(QPoint(0, 0), m_clientSize));
}

void ChartImage::setLineWidth(int pixels)
{
    m_lineWidth = std::clamp(pixels, 1, 5);
}

} // namespace platine
