#include "chart/ChartController.h"

#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "chart/DrawingSurface.h"
#include "chart/ReadOut.h"
#include "platform/NumberText.h"

#include <QStringBuilder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace platine {

namespace {

long long clampedRow(double row)
{
    return static_cast<long long>(std::clamp(row, double(-kFarRow), double(kFarRow)));
}

QString rowCaption(double row)
{
    return u"Acquisition N°: " % numberToText(row);
}

} // namespace

ChartOutput followMouse(const ChartInputs &in, ChartState &state, double width, float x, float y)
{
    // The chart area keeps its drawing in a persistent image that always repaints itself and is
    // drawn with plain copy-pen strokes, so there is no redraw mode or raster operation to set
    // again here before the cursors move.
    ChartOutput out;
    out.help = QString();
    state.rowCount = static_cast<std::int16_t>(in.rowCount);
    out.cursor = QPointF(x, y);

    const ReadOutScale scale = readOutScale(in.coefficient);
    // From here on a step that cannot be done is skipped and the next one runs.
    if (!in.analog)
        out.valueReadout = QString();
    else if (scale.k) { // an unreadable coefficient leaves the value caption as it was
        QString value = formatReadOut(readOutValue(y, *scale.k));
        if (!state.zoomReadout)
            value.append(scale.unit);
        out.valueReadout = std::move(value);
    }
    if (state.spanShown) {
        // The file's row under the mouse, from the span's first at X 1000.
        const double step = width / static_cast<double>(state.spanRows);
        if (const std::optional<double> row = readOutRow(x - chart::kOriginX + 960.0, step))
            out.rowReadout = rowCaption(*row + static_cast<double>(state.spanFirst));
    } else if (!state.zoomReadout) {
        if (const std::optional<double> row = readOutRow(x, width / state.rowCount)) {
            out.rowReadout = rowCaption(*row + static_cast<double>(in.firstRow));
            state.cursorRow = clampedRow(*row);
        }
    } else if (const std::optional<double> row = readOutRow(x, width / chart::kZoomRows)) {
        out.rowReadout = rowCaption(*row + static_cast<double>(state.cursorRow)
                                    + static_cast<double>(in.firstRow));
    }
    return out;
}

ChartOutput clickChart(const ChartInputs &in, Chart target, int button, float x, float y)
{
    ChartState &state = target.state;
    DrawingSurface &surface = target.surface;
    if (in.analog) {
        if (button == chart::kRightButton) {
            // The value caption 40 twips right of the point, and a 60-twip tick below the point.
            const float textX = x + 40.0f;
            if (std::isfinite(textX) && std::isfinite(y)) {
                surface.setTextPosition(textX, y);
                surface.print(in.valueReadout);
            }
            const float tickEnd = y + 60.0f;
            if (std::isfinite(x) && std::isfinite(tickEnd))
                surface.segment(x, y, x, tickEnd, surface.foreground());
        } else if (button == chart::kLeftButton) {
            if (state.zoomShown)
                return drawFullView(in, target);
            state.zoomShown = true;
            state.zoomReadout = true;
            // The clicked row stands sixth from the left, except near the start of the store.
            if (state.cursorRow > 10)
                state.cursorRow -= 5;
            return drawZoomView(in, target, state.cursorRow, true);
        }
        return {};
    }

    surface.clear();
    state.zoomReadout = true;
    if (button == chart::kLeftButton && state.zoomShown)
        return drawFullView(in, target);
    state.zoomShown = true;
    return drawZoomView(in, target, state.cursorRow, false);
}

ChartOutput stepZoomView(const ChartInputs &in, Chart target, int keyCode)
{
    ChartState &state = target.state;
    if (keyCode == chart::kKeyLeft)
        state.cursorRow += 2;
    else if (keyCode == chart::kKeyRight)
        state.cursorRow -= 2;

    if (in.analog)
        state.zoomShown = true; // in logic mode it stays as it was
    state.zoomReadout = true;
    return drawZoomView(in, target, state.cursorRow, in.analog);
}

} // namespace platine
