#include "chart/SpanView.h"

#include "chart/ChartRenderer.h"
#include "chart/DrawingSurface.h"
#include "chart/ReadOut.h"
#include "model/Overview.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace platine {

namespace {

constexpr double kTwipsPerPixel = 15.0;

// Rows of the file a span of n rows shows on `visible` twips of a chart W wide.
double shownRows(double n, double width, double visible)
{
    return n * std::max(0.0, visible - chart::kOriginX) / width;
}

bool fits(double v)
{
    return std::fabs(v) <= double(FLT_MAX);
}

void stroke(std::vector<VerticalLine> &lines, double x, double y1, double y2, const QColor &colour)
{
    if (fits(x) && fits(y1) && fits(y2))
        lines.push_back({float(x), float(y1), float(y2), colour});
}

} // namespace

qint64 keptFirst(qint64 first, qint64 n, double width, double visible, qint64 rows)
{
    const auto shown = qint64(std::ceil(shownRows(double(n), width, visible)));
    return std::clamp<qint64>(first, 0, std::max<qint64>(0, rows - shown));
}

ChartSpan zoomedSpan(const ChartSpan &span, double notches, double x, double width, double visible,
                     qint64 rows)
{
    if (!(width > 0) || visible <= chart::kOriginX)
        return span;
    // The whole file fits when n shows all its rows.
    const double whole = std::ceil(double(rows) * width / (visible - chart::kOriginX));
    const qint64 most = std::max<qint64>(chart::kMinSpan, qint64(whole));
    const double wanted = double(span.n) * std::pow(chart::kZoomFactor, notches);
    const qint64 n = std::clamp<qint64>(std::llround(std::clamp(wanted, 0.0, 1e15)),
                                        chart::kMinSpan, most);
    // The row under the mouse, and where it stands across the chart.
    const double at = std::clamp((x - chart::kOriginX) / width, 0.0, 1.0);
    const double row = double(span.first) + at * double(span.n);
    const qint64 first = std::llround(row - at * double(n));
    return {keptFirst(first, n, width, visible, rows), n};
}

ChartSpan movedSpan(const ChartSpan &span, double notches, double width, double visible,
                    qint64 rows)
{
    const qint64 by = std::llround(notches * chart::kPanShare * double(span.n));
    return {keptFirst(span.first + by, span.n, width, visible, rows), span.n};
}

SpanColumns spanColumns(const ChartSpan &span, double width, double visible, qint64 rows)
{
    SpanColumns out;
    out.firstPixel = int(chart::kOriginX / kTwipsPerPixel);
    const auto end = int(std::ceil(visible / kTwipsPerPixel)); // past the last column shown
    if (end <= out.firstPixel || span.n <= 0 || !(width > 0))
        return out;
    const double step = width / double(span.n);
    const qint64 last = std::min(rows, span.first + span.n + 1); // past the last row shown
    for (int p = out.firstPixel; p <= end; ++p) { // where each column starts, and the last ends
        const double offset = std::ceil((p * kTwipsPerPixel - chart::kOriginX) / step);
        out.bounds.push_back(std::clamp(span.first + qint64(std::max(0.0, offset)),
                                        std::min(span.first, last), last));
    }
    // Columns of a block or more: moved to the blocks' bounds (spaced 64 rows at least, they stay
    // apart once moved back to the start of their blocks).
    constexpr qint64 kBlock = FigureIndex::kBlockRows;
    if (kTwipsPerPixel / step >= double(kBlock)) {
        for (std::size_t i = 0; i + 1 < out.bounds.size(); ++i) {
            if (out.bounds[i] < rows) // the file's end stays: no rows after it
                out.bounds[i] -= out.bounds[i] % kBlock;
        }
        qint64 &back = out.bounds.back();
        back = std::min(rows, (back + kBlock - 1) / kBlock * kBlock);
    }
    return out;
}

void drawSpan(DrawingSurface &surface, const SpanColumns &columns,
              const std::vector<Figures> &figures, const ChartInputs &in)
{
    const double k = coefficientValue(in.coefficient).value_or(0);
    const auto y = [k](double v) { return chart::kBaselineY - v * k * chart::kVerticalFactor; };
    std::array<QColor, kChannelCount> colours;
    for (Channel c : kAllChannels)
        colours[std::size_t(column(c))] = chart::traceColour(c);
    std::vector<VerticalLine> lines;
    lines.reserve(figures.size() * kAnalogChannelCount);
    const Figures *previous = nullptr;
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const Figures &f = figures[i];
        if (f.empty()) {
            previous = nullptr;
            continue;
        }
        const double x = (columns.firstPixel + double(i)) * kTwipsPerPixel;
        if (in.analog) {
            for (std::size_t c = 0; c < kAnalogChannelCount; ++c) {
                if (!in.selected[channelAt(int(c))])
                    continue;
                // Joined to the column before: reaching its range when apart from it.
                const double low = previous ? std::min(f.min[c], previous->max[c]) : f.min[c];
                const double high = previous ? std::max(f.max[c], previous->min[c]) : f.max[c];
                stroke(lines, x, y(high), y(low), colours[c]);
            }
        } else {
            for (int b = 0; b < kLogicChannelCount; ++b) {
                std::uint8_t l = f.logic[std::size_t(b)];
                if (previous)
                    l |= previous->logic[std::size_t(b)]; // a change of level: an edge
                const double top = chart::kFullBandPitch * b;
                const bool high = l & levels::kHigh;
                const bool low = l & levels::kLow;
                if (high || low)
                    stroke(lines, x, high ? top : top + chart::kLogicLow,
                           low ? top + chart::kLogicLow : top,
                           colours[std::size_t(column(logicChannelAt(b)))]);
            }
        }
        previous = &f;
    }
    surface.verticals(lines);
}

} // namespace platine
