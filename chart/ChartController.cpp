#include "chart/ChartController.h"

#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "chart/ChartView.h"
#include "chart/DrawingSurface.h"
#include "chart/ReadOut.h"
#include "platform/NumberText.h"

#include <QStringBuilder>

#include <cmath>
#include <cstdint>

namespace platine {

namespace {

// Rows further out than this are clamped; no zoom view can reach the store from there anyway.
constexpr double kFarRow = 1.0e15;

long long clampedRow(double row)
{
    if (row > kFarRow)
        return static_cast<long long>(kFarRow);
    if (row < -kFarRow)
        return -static_cast<long long>(kFarRow);
    return static_cast<long long>(row);
}

QString rowCaption(double row)
{
    return u"Acquisition N°: " % numberToText(row);
}

} // namespace

void followMouse(ChartView &view, ChartState &state, float x, float y)
{
    // The chart area keeps its drawing in a persistent image that always repaints itself and is
    // drawn with plain copy-pen strokes, so there is no redraw mode or raster operation to set
    // again here before the cursors move.
    view.setHelpText(QString());
    state.rowCount = static_cast<std::int16_t>(view.rowCount());
    view.moveVerticalCursor(x);
    view.moveHorizontalCursor(y);

    const ReadOutScale scale = readOutScale(view.coefficientText());
    const bool analog = view.analogMode();
    const double width = view.surface().width();

    // From here on a step that cannot be done is skipped and the next one runs.
    if (!state.zoomReadout) {
        if (!analog)
            view.setValueReadout(QString());
        else if (scale.k) // an unreadable coefficient leaves the value caption as it was
            view.setValueReadout(formatReadOut(readOutValue(y, *scale.k)) + scale.unit);
        const std::optional<double> row = readOutRow(x, width / state.rowCount);
        if (row) {
            view.setRowReadout(rowCaption(*row));
            state.cursorRow = clampedRow(*row);
        }
    } else {
        if (!analog)
            view.setValueReadout(QString());
        else if (scale.k)
            view.setValueReadout(formatReadOut(readOutValue(y, *scale.k)));
        const std::optional<double> row = readOutRow(x, width / chart::kZoomRows);
        if (row)
            view.setRowReadout(rowCaption(*row + static_cast<double>(state.cursorRow)));
    }
}

void clickChart(ChartView &view, ChartState &state, int button, float x, float y)
{
    DrawingSurface &surface = view.surface();
    if (view.analogMode()) {
        if (button == chart::kRightButton) {
            // The value caption 40 twips right of the point, and a 60-twip tick below the point.
            const float textX = x + 40.0f;
            if (std::isfinite(textX) && std::isfinite(y)) {
                surface.setTextPosition(textX, y);
                surface.print(view.valueReadout());
            }
            const float tickEnd = y + 60.0f;
            if (std::isfinite(x) && std::isfinite(tickEnd))
                surface.segment(x, y, x, tickEnd, surface.foreground());
        } else if (button == chart::kLeftButton) {
            if (state.zoomShown) {
                drawFullView(view, state);
                return;
            }
            state.zoomShown = true;
            state.zoomReadout = true;
            // The clicked row stands sixth from the left, except near the start of the store.
            if (state.cursorRow > 10)
                state.cursorRow -= 5;
            drawZoomView(view, state.cursorRow, true);
        }
        return;
    }

    surface.clear();
    state.zoomReadout = true;
    if (button == chart::kLeftButton && state.zoomShown) {
        drawFullView(view, state);
        return;
    }
    state.zoomShown = true;
    drawZoomView(view, state.cursorRow, false);
}

void stepZoomView(ChartView &view, ChartState &state, int keyCode)
{
    if (keyCode == chart::kKeyLeft)
        state.cursorRow += 2;
    else if (keyCode == chart::kKeyRight)
        state.cursorRow -= 2;

    if (view.analogMode()) {
        state.zoomShown = true;
        state.zoomReadout = true;
        drawZoomView(view, state.cursorRow, true);
    } else {
        state.zoomReadout = true; // zoomShown stays as it was
        drawZoomView(view, state.cursorRow, false);
    }
}

} // namespace platine
