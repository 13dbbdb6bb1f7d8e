#include "chart/ChartRenderer.h"

#include "chart/ChartState.h"
#include "chart/DrawingSurface.h"
#include "chart/ReadOut.h"
#include "model/AcquisitionData.h"
#include "platform/NumberText.h"

#include <QStringBuilder>

#include <array>
#include <cfloat>
#include <cmath>

namespace platine::chart {

namespace {

// The value as the single-precision coordinate handed to the surface; false when it does not fit.
bool single(double value, float &out)
{
    if (!(std::fabs(value) <= static_cast<double>(FLT_MAX)))
        return false; // NaN, infinite or out of range
    out = static_cast<float>(value);
    return true;
}

} // namespace

QColor traceColour(Channel c)
{
    return QColor::fromRgb(info(c).colour);
}

void drawAnalogRows(DrawingSurface &surface, const AcquisitionData &store,
                    const ChannelFlags &selected, double k, long long first, long long last,
                    double step)
{
    if (isFarRow(first) || isFarRow(last))
        return;

    // The columns to draw and their colours.
    std::array<const AcquisitionData::Column *, kAnalogChannelCount> columns{};
    std::array<QColor, kAnalogChannelCount> colours{};
    std::size_t count = 0;
    for (Channel c : kAllChannels) {
        if (!isLogic(c) && selected[c]) {
            columns[count] = &store[c];
            colours[count] = traceColour(c);
            ++count;
        }
    }

    double x = kOriginX;
    for (long long r = first; r <= last; ++r) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::optional<double> a = store.value(*columns[i], r);
            const std::optional<double> b = store.value(*columns[i], r + 1);
            if (!a || !b)
                continue; // a row outside the store: no segment
            float x1, y1, x2, y2;
            if (single(x, x1) && single(kBaselineY - *a * k * kVerticalFactor, y1)
                && single(x + step, x2) && single(kBaselineY - *b * k * kVerticalFactor, y2))
                surface.segment(x1, y1, x2, y2, colours[i]);
        }
        x += step;
    }
}

void drawLogicRows(DrawingSurface &surface, const AcquisitionData &store, long long r0,
                   long long rows, double step, double pitch)
{
    if (isFarRow(r0) || rows < 0 || rows > kFarRow)
        return;
    std::array<QColor, kLogicChannelCount> colours;
    for (int b = 0; b < kLogicChannelCount; ++b)
        colours[std::size_t(b)] = traceColour(logicChannelAt(b));

    std::array<double, kLogicChannelCount> prev{0, 0, 0, 0};
    double level = 0; // carried from band to band and from row to row
    double x = kOriginX;
    for (long long r = r0; r < r0 + rows; ++r) {
        for (int b = 0; b < kLogicChannelCount; ++b) {
            const std::optional<double> v = store.value(logicChannelAt(b), r);
            if (!v)
                continue; // outside the store: no segment, no edge
            if (*v == 0)
                level = kLogicLow;
            else if (*v == 1)
                level = 0;
            const std::size_t band = std::size_t(b);
            const double top = pitch * b;
            float x1, x2, y, yTop, yLow;
            if (single(x, x1) && single(x + step, x2) && single(top + level, y))
                surface.segment(x1, y, x2, y, colours[band]);
            const bool rising = prev[band] == kLogicLow && level == 0;
            const bool falling = prev[band] == 0 && level == kLogicLow;
            if ((rising || falling) && single(x, x1) && single(top, yTop)
                && single(top + kLogicLow, yLow))
                surface.rectangle(x1, yTop, x1, yLow, colours[band]);
            prev[band] = level;
        }
        x += step;
    }
}

} // namespace platine::chart

namespace platine {

ChartOutput drawFullView(const ChartInputs &in, Chart target)
{
    const int n = in.rowCount;
    target.state.rowCount = static_cast<std::int16_t>(n);
    target.surface.clear();
    target.state.zoomShown = false;
    target.state.zoomReadout = false;
    target.state.spanShown = false;
    const double step = target.surface.width() / target.state.rowCount;

    if (!in.analog) {
        chart::drawLogicRows(target.surface, target.store, 0, static_cast<long long>(n) + 1, step,
                             chart::kFullBandPitch);
        return {};
    }

    // The temperatures of rows 0 to N, one a line; an empty slot gives an empty line.
    QString text;
    text.reserve((n + 1) * 8);
    const int last = std::min(n, target.store.rows - 1); // nothing to list past the rows in use
    for (int r = 0; r <= last; ++r) {
        if (const AcquisitionData::Slot &slot = target.store.at(Channel::Temperature, r))
            text += numberToText(*slot);
        text += u"\r\n";
    }
    chart::drawAnalogRows(target.surface, target.store, in.selected,
                          coefficientValue(in.coefficient).value_or(0), 0, n, step);
    ChartOutput out;
    out.table = text;
    return out;
}

ChartOutput drawZoomView(const ChartInputs &in, Chart target, long long s0, bool analog)
{
    const double step = target.surface.width() / chart::kZoomRows;
    target.surface.clear();
    if (analog) {
        if (isFarRow(s0))
            return {};
        chart::drawAnalogRows(target.surface, target.store, in.selected,
                              coefficientValue(in.coefficient).value_or(0), s0,
                              s0 + chart::kAnalogZoomRows - 1, step);
        return {};
    }
    ChartOutput out;
    out.logicZoomCaption = numberToText(4.0 * static_cast<double>(s0)) % u":dep= "
        % numberToText(static_cast<double>(s0));
    chart::drawLogicRows(target.surface, target.store, s0, chart::kLogicZoomRows, step,
                         chart::kZoomBandPitch);
    return out;
}

} // namespace platine
