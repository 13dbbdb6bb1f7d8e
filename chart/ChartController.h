#pragma once
// The chart area's mouse and key handlers: cursors, read-out, zoom views and the printed values.
//
// Mouse coordinates are twips in the chart area (origin top-left, Y downwards); buttons and key
// codes are those of chart/ChartInputs.h.

#include "chart/ChartInputs.h"

namespace platine {

// Mouse move over a chart surface `width` twips wide: empties the help line, takes N into the
// state, moves both cursor lines, and writes the read-out: in the full view the value (analog mode,
// with its unit) and the row under the mouse, which also becomes the cursor row; in a zoom view
// the value without unit and the cursor row plus the row offset in the view. Draws nothing.
ChartOutput followMouse(const ChartInputs &in, ChartState &state, double width, float x, float y);

// Mouse button. Analog mode: the right button prints the value read-out at (X + 40, Y) with a
// 60-twip tick below the point, in the foreground colour; the left button opens the zoom view five
// rows before the row under the mouse (from row 10 down: at that row), or, in a zoom view opened
// by a click, returns to the full view. Logic mode, any button: clears the chart and opens the zoom
// view at the row under the mouse; the left button in a zoom view opened by a click returns to the
// full view.
ChartOutput clickChart(const ChartInputs &in, Chart target, int button, float x, float y);

// Key: the left arrow moves the zoom view two rows on (cursor row + 2), the right arrow two rows
// back; every key then redraws the zoom view in the current mode.
ChartOutput stepZoomView(const ChartInputs &in, Chart target, int keyCode);

} // namespace platine
