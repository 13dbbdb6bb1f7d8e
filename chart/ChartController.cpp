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

void mouseMove(ChartView &view, ChartState &state, int button, int shift, float x, float y)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    // The chart area keeps its drawing in a persistent image that always repaints itself and is
    // drawn with plain copy-pen strokes, so there is no redraw mode or raster operation to set
    // again here before the cursors move.
    view.setAide(QString());
    state.nbre_acq = static_cast<std::int16_t>(view.rowCount());
    view.moveCursorX(x);
    view.moveCursorY(y);

    const ReadOutScale scale = readOutScale(view.coeffText());
    const bool analog = view.analogMode();
    const double width = view.surface().width();

    // From here on a step that cannot be done is skipped and the next one runs.
    if (state.zoom_lecture == 0) {
        if (!analog)
            view.setLabel64(QString());
        else if (scale.k) // an unreadable coefficient leaves the value caption as it was
            view.setLabel64(formatReadOut(readOutValue(y, *scale.k)) + scale.unit);
        const std::optional<double> row = readOutRow(x, width / state.nbre_acq);
        if (row) {
            view.setLabel59(rowCaption(*row));
            state.acq_curseur = clampedRow(*row);
        }
    } else {
        if (!analog)
            view.setLabel64(QString());
        else if (scale.k)
            view.setLabel64(formatReadOut(readOutValue(y, *scale.k)));
        const std::optional<double> row = readOutRow(x, width / chart::kZoomRows);
        if (row)
            view.setLabel59(rowCaption(*row + static_cast<double>(state.acq_curseur)));
    }
}

void mouseDown(ChartView &view, ChartState &state, int button, int shift, float x, float y)
{
    Q_UNUSED(shift);
    DrawingSurface &surface = view.surface();
    if (view.analogMode()) {
        if (button == chart::kRightButton) {
            // The value caption 40 twips right of the point, and a 60-twip tick below the point.
            const float textX = x + 40.0f;
            if (std::isfinite(textX) && std::isfinite(y)) {
                surface.setTextPosition(textX, y);
                surface.print(view.label64());
            }
            const float tickEnd = y + 60.0f;
            if (std::isfinite(x) && std::isfinite(tickEnd))
                surface.segment(x, y, x, tickEnd, surface.foreground());
        } else if (button == chart::kLeftButton) {
            if (state.zoom_vue == 1) {
                command24Click(view, state);
                return;
            }
            state.zoom_vue = 1;
            state.zoom_lecture = 1;
            // The clicked row stands sixth from the left, except near the start of the store.
            if (state.acq_curseur > 10)
                state.acq_curseur -= 5;
            drawZoomView(view, state.acq_curseur, true);
        }
        return;
    }

    surface.clear();
    state.zoom_lecture = 1;
    if (button == chart::kLeftButton && state.zoom_vue == 1) {
        command24Click(view, state);
        return;
    }
    state.zoom_vue = 1;
    drawZoomView(view, state.acq_curseur, false);
}

void keyDown(ChartView &view, ChartState &state, int keyCode, int shift)
{
    Q_UNUSED(shift);
    if (keyCode == chart::kKeyLeft)
        state.acq_curseur += 2;
    else if (keyCode == chart::kKeyRight)
        state.acq_curseur -= 2;

    if (view.analogMode()) {
        state.zoom_vue = 1;
        state.zoom_lecture = 1;
        drawZoomView(view, state.acq_curseur, true);
    } else {
        state.zoom_lecture = 1; // zoom_vue stays as it was
        drawZoomView(view, state.acq_curseur, false);
    }
}

} // namespace platine
