#include "chart/OverviewPicture.h"

#include "chart/ChartRenderer.h"

#include <algorithm>
#include <cmath>

namespace platine {

namespace {

const QRgb kBackground = qRgb(255, 255, 255);
const QRgb kShown = qRgb(210, 225, 250);
const QRgb kOther = qRgb(160, 160, 160);
const QRgb kShownEdge = qRgb(0, 0, 160);

// Pixel rows top .. bottom (in either order) of column x.
void stroke(QImage &image, int x, int top, int bottom, QRgb colour)
{
    if (x < 0 || x >= image.width())
        return;
    if (top > bottom)
        std::swap(top, bottom);
    top = std::max(top, 0);
    bottom = std::min(bottom, image.height() - 1);
    for (int y = top; y <= bottom; ++y)
        reinterpret_cast<QRgb *>(image.scanLine(y))[x] = colour;
}

struct Scale {
    double low = 0;
    double high = 0;
};

Scale analogScale(const std::vector<OverviewColumn> &columns, const ChannelFlags &selected)
{
    bool any = false;
    Scale s;
    for (const OverviewColumn &c : columns) {
        if (c.summary.empty())
            continue;
        for (int k = 0; k < kAnalogChannelCount; ++k) {
            if (!selected[channelAt(k)])
                continue;
            const double lo = c.summary.min[std::size_t(k)];
            const double hi = c.summary.max[std::size_t(k)];
            s.low = any ? std::min(s.low, lo) : lo;
            s.high = any ? std::max(s.high, hi) : hi;
            any = true;
        }
    }
    return s;
}

void drawAnalog(QImage &image, const std::vector<OverviewColumn> &columns,
                const ChannelFlags &selected)
{
    const Scale s = analogScale(columns, selected);
    const int h = image.height();
    const double span = s.high - s.low;
    const auto y = [&](double v) {
        if (!(span > 0) || !std::isfinite(span))
            return h / 2;
        return int(std::lround((h - 1) * (1.0 - (v - s.low) / span)));
    };
    for (int x = 0; x < int(columns.size()); ++x) {
        const OverviewSummary &sum = columns[std::size_t(x)].summary;
        if (sum.empty())
            continue;
        for (int k = 0; k < kAnalogChannelCount; ++k) {
            const Channel c = channelAt(k);
            if (selected[c])
                stroke(image, x, y(sum.max[std::size_t(k)]), y(sum.min[std::size_t(k)]),
                       chart::traceColour(c).rgb());
        }
    }
}

void drawLogic(QImage &image, const std::vector<OverviewColumn> &columns)
{
    const int band = image.height() / kLogicChannelCount;
    for (int x = 0; x < int(columns.size()); ++x) {
        const OverviewSummary &sum = columns[std::size_t(x)].summary;
        for (int b = 0; b < kLogicChannelCount; ++b) {
            const std::uint8_t l = sum.logic[std::size_t(b)];
            const int top = b * band + 1;
            const int bottom = (b + 1) * band - 2;
            const QRgb colour = chart::traceColour(logicChannelAt(b)).rgb();
            if ((l & levels::kHigh) && (l & levels::kLow))
                stroke(image, x, top, bottom, colour);
            else if (l & levels::kHigh)
                stroke(image, x, top, top, colour);
            else if (l & levels::kLow)
                stroke(image, x, bottom, bottom, colour);
            if (l & levels::kOther)
                stroke(image, x, (top + bottom) / 2, (top + bottom) / 2, kOther);
        }
    }
}

} // namespace

QImage drawOverview(const std::vector<OverviewColumn> &columns, QSize size,
                    const OverviewLook &look)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBackground);
    const int width = std::min(size.width(), int(columns.size()));
    for (int x = 0; x < width; ++x) {
        const OverviewColumn &c = columns[std::size_t(x)];
        if (c.first < look.shownEnd && c.end > look.shownFirst)
            stroke(image, x, 0, size.height() - 1, kShown);
    }
    if (look.analog)
        drawAnalog(image, columns, look.selected);
    else
        drawLogic(image, columns);
    // The edges of the shown rows over the traces, so that a window of a long file, a pixel or two
    // wide, stays in sight.
    int left = -1;
    int right = -1;
    for (int x = 0; x < width; ++x) {
        const OverviewColumn &c = columns[std::size_t(x)];
        if (c.first < look.shownEnd && c.end > look.shownFirst) {
            left = left < 0 ? x : left;
            right = x;
        }
    }
    if (left >= 0) {
        stroke(image, std::max(left - 1, 0), 0, size.height() - 1, kShownEdge);
        stroke(image, std::min(right + 1, width - 1), 0, size.height() - 1, kShownEdge);
    }
    return image;
}

std::optional<qint64> overviewRowAt(const std::vector<OverviewColumn> &columns, int x)
{
    if (columns.empty())
        return std::nullopt;
    const OverviewColumn &c = columns[std::size_t(std::clamp(x, 0, int(columns.size()) - 1))];
    return c.first + (c.end - c.first) / 2;
}

} // namespace platine
