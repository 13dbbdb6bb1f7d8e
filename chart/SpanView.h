#pragma once
// Any span of a long file on the chart: zooming with the wheel and the keys, and the view of a
// span longer than the full view's 1000 rows.
//
// A span is drawn as the full view draws N rows: rows first .. first + n, from X 1000, step W / n.
// Up to 1000 rows it is the full view itself (N = n, the file's window from `first`). Beyond, the
// chart has fewer pixel columns than rows: each pixel column draws, for each selected channel, a
// stroke from the least to the greatest value of its rows (logic bands: high, low or both), joined
// to the column before, so that no spike is lost.

#include "chart/ChartInputs.h"
#include "model/Figures.h"

#include <QtGlobal>

#include <vector>

namespace platine {

struct ChartSpan {
    qint64 first = 0; // the file's row at X 1000
    qint64 n = 100;   // step W / n: rows first .. first + n across the chart's width
    friend bool operator==(const ChartSpan &, const ChartSpan &) = default;
};

namespace chart {
inline constexpr qint64 kMinSpan = 10;
inline constexpr qint64 kMaxFullView = 1000; // longer spans are drawn in pixel columns
inline constexpr double kZoomFactor = 0.8;   // of n for a notch of the wheel inwards
inline constexpr double kPanShare = 0.1;     // of the rows shown, for a notch along the file
} // namespace chart

// The span after the wheel turned `notches` inwards (negative: outwards) with the mouse at X x
// on a chart W twips wide of which `visible` twips show (from X 0): n times 0.8 a notch, from 10
// rows up to the whole file shown, and the row under the mouse stays under it as far as the file
// allows.
ChartSpan zoomedSpan(const ChartSpan &span, double notches, double x, double width, double visible,
                     qint64 rows);
// The span moved `notches` tenths of its rows along the file (negative: back), kept within it.
ChartSpan movedSpan(const ChartSpan &span, double notches, double width, double visible,
                    qint64 rows);
// The first row kept so that the span shows rows of the file up to its last, where it can.
qint64 keptFirst(qint64 first, qint64 n, double width, double visible, qint64 rows);

// The pixel columns of a span longer than the full view: bounds[i] .. bounds[i + 1] - 1 are the
// rows of pixel column firstPixel + i (client pixels, 15 twips each), for the columns from X 1000
// to `visible`, within the file's rows. Where a column holds 64 rows or more, its bounds are moved
// back to the start of their block of 64 (the last forward to its block's end), so that its
// figures are the index's: each column still holds at least one row, and the columns together
// hold every row of the span.
struct SpanColumns {
    int firstPixel = 0;
    std::vector<qint64> bounds;
};
SpanColumns spanColumns(const ChartSpan &span, double width, double visible, qint64 rows);

// Draws the strokes of the columns' figures: analog mode, the selected analog channels at the
// coefficient; logic mode, the four bands as the full view places them.
void drawSpan(DrawingSurface &surface, const SpanColumns &columns,
              const std::vector<Figures> &figures, const ChartInputs &in);

} // namespace platine
