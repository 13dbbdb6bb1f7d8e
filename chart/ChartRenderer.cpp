#include "chart/ChartRenderer.h"

#include "chart/ChartState.h"
#include "chart/ChartView.h"
#include "chart/DrawingSurface.h"
#include "model/AcquisitionData.h"
#include "platform/LeadingNumber.h"
#include "platform/NumberText.h"

#include <QStringBuilder>

#include <array>
#include <cfloat>
#include <cmath>

namespace platine::chart {

namespace {

using Column = std::array<AcquisitionData::Slot, AcquisitionData::kRows>;

struct AnalogChannel {
    int label; // the channel label that selects it
    Column AcquisitionData::*data;
    QRgb rgb;
};

// Temperature, then analog inputs 1 to 4.
constexpr std::array<AnalogChannel, kAnalogChannels> kAnalog{{
    {8, &AcquisitionData::temperature, 0xFF808080}, // 128, 128, 128
    {0, &AcquisitionData::analog1, 0xFF000000},     // 0, 0, 0
    {1, &AcquisitionData::analog2, 0xFFFF0000},     // 255, 0, 0
    {2, &AcquisitionData::analog3, 0xFF00FF00},     // 0, 255, 0
    {3, &AcquisitionData::analog4, 0xFFFFFF00},     // 255, 255, 0
}};

// Slot b of a row in band b: "LOG 4", "LOG 3", "LOG 2", "LOG 1".
constexpr std::array<QRgb, 4> kLogic{{
    0xFF808000, // 128, 128, 0
    0xFFFFFFFF, // 255, 255, 255
    0xFF0000FF, // 0, 0, 255
    0xFFFF00FF, // 255, 0, 255
}};

// Start rows further out than this cannot reach the store from any zoom view; drawings started there
// draw nothing, which also keeps the row arithmetic far from overflow.
constexpr long long kFarRow = 1'000'000'000'000'000LL;

bool farOut(long long row)
{
    return row > kFarRow || row < -kFarRow;
}

// The value as the single-precision coordinate handed to the surface; false when it does not fit.
bool single(double value, float &out)
{
    if (!(std::fabs(value) <= static_cast<double>(FLT_MAX)))
        return false; // NaN, infinite or out of range
    out = static_cast<float>(value);
    return true;
}

} // namespace

int analogLabelIndex(int order)
{
    return kAnalog.at(static_cast<std::size_t>(order)).label;
}

QColor analogColor(int order)
{
    return QColor::fromRgb(kAnalog.at(static_cast<std::size_t>(order)).rgb);
}

QColor logicColor(int slot)
{
    return QColor::fromRgb(kLogic.at(static_cast<std::size_t>(slot)));
}

void drawAnalogRows(ChartView &view, long long first, long long last, double step)
{
    if (farOut(first) || farOut(last))
        return;
    DrawingSurface &surface = view.surface();
    const AcquisitionData &store = view.store();

    // The channels to draw and their colours; the flags cannot change while a drawing runs.
    std::array<const Column *, kAnalogChannels> columns{};
    std::array<QColor, kAnalogChannels> colours{};
    int selected = 0;
    for (const AnalogChannel &channel : kAnalog) {
        if (view.channelSelected(channel.label)) {
            columns[static_cast<std::size_t>(selected)] = &(store.*channel.data);
            colours[static_cast<std::size_t>(selected)] = QColor::fromRgb(channel.rgb);
            ++selected;
        }
    }

    QString coeffText;
    double coeff = 0;
    bool coeffKnown = false;
    double x = kOriginX;
    for (long long r = first; r <= last; ++r) {
        for (int c = 0; c < selected; ++c) {
            const Column &column = *columns[static_cast<std::size_t>(c)];
            const std::optional<double> a = AcquisitionData::value(column, r);
            const std::optional<double> b = AcquisitionData::value(column, r + 1);
            if (!a || !b)
                continue; // a row outside the store: no segment
            // The coefficient is taken from its text at the moment of use, for each point; the
            // conversion is only redone when the text differs from the one read before.
            const QString text = view.coefficientText();
            if (!coeffKnown || text != coeffText) {
                coeff = leadingNumber(text);
                coeffText = text;
                coeffKnown = true;
            }
            const double k = coeff;
            float x1, y1, x2, y2;
            if (single(x, x1) && single(kBaselineY - *a * k * kVerticalFactor, y1)
                && single(x + step, x2) && single(kBaselineY - *b * k * kVerticalFactor, y2))
                surface.segment(x1, y1, x2, y2, colours[static_cast<std::size_t>(c)]);
        }
        x += step;
    }
}

void drawLogicRows(DrawingSurface &surface, const AcquisitionData &store, long long r0,
                   long long rows, double step, double pitch)
{
    if (farOut(r0) || rows < 0 || rows > kFarRow)
        return;
    std::array<QColor, 4> colours;
    for (std::size_t b = 0; b < colours.size(); ++b)
        colours[b] = QColor::fromRgb(kLogic[b]);

    std::array<double, 4> prev{0, 0, 0, 0};
    double level = 0; // carried from slot to slot and from row to row
    double x = kOriginX;
    for (long long r = r0; r < r0 + rows; ++r) {
        for (int b = 0; b < 4; ++b) {
            const std::optional<double> v = AcquisitionData::value(store.logic, 4 * r + b);
            if (!v)
                continue; // a slot outside the store: no segment, no edge
            if (*v == 0)
                level = kLogicLow;
            else if (*v == 1)
                level = 0;
            const std::size_t slot = static_cast<std::size_t>(b);
            const double top = pitch * b;
            float x1, x2, y, yTop, yLow;
            if (single(x, x1) && single(x + step, x2) && single(top + level, y))
                surface.segment(x1, y, x2, y, colours[slot]);
            const bool rising = prev[slot] == kLogicLow && level == 0;
            const bool falling = prev[slot] == 0 && level == kLogicLow;
            if ((rising || falling) && single(x, x1) && single(top, yTop)
                && single(top + kLogicLow, yLow))
                surface.rectangle(x1, yTop, x1, yLow, colours[slot]);
            prev[slot] = level;
        }
        x += step;
    }
}

} // namespace platine::chart

namespace platine {

void drawFullView(ChartView &view, ChartState &state)
{
    const int n = view.rowCount();
    state.rowCount = static_cast<std::int16_t>(n);
    DrawingSurface &surface = view.surface();

    if (view.analogMode()) {
        surface.clear();
        state.zoomShown = false;
        state.zoomReadout = false;

        // The temperatures of rows 0 to N, one a line; an empty slot gives an empty line.
        const AcquisitionData &store = view.store();
        QString text;
        text.reserve((n + 1) * 8);
        for (long long r = 0; r <= n; ++r) {
            if (r >= AcquisitionData::kRows)
                break; // outside the store: nothing to list
            const AcquisitionData::Slot &slot = store.temperature[static_cast<std::size_t>(r)];
            if (slot)
                text += numberToText(*slot);
            text += u"\r\n";
        }
        view.setTableText(text);

        chart::drawAnalogRows(view, 0, n, surface.width() / n);
    } else {
        const double step = surface.width() / state.rowCount;
        surface.clear();
        state.zoomShown = false;
        state.zoomReadout = false;
        chart::drawLogicRows(surface, view.store(), 0, static_cast<long long>(n) + 1, step,
                             chart::kFullBandPitch);
    }
}

void drawZoomView(ChartView &view, long long s0, bool analog)
{
    DrawingSurface &surface = view.surface();
    if (analog) {
        surface.clear();
        if (!chart::farOut(s0))
            chart::drawAnalogRows(view, s0, s0 + chart::kAnalogZoomRows - 1,
                                  surface.width() / chart::kZoomRows);
    } else {
        const double step = surface.width() / chart::kZoomRows;
        surface.clear();
        view.setLogicZoomCaption(numberToText(4.0 * static_cast<double>(s0)) % u":dep= "
                                 % numberToText(static_cast<double>(s0)));
        chart::drawLogicRows(surface, view.store(), s0, chart::kLogicZoomRows, step,
                             chart::kZoomBandPitch);
    }
}

} // namespace platine
