#pragma once
// The chart area's mouse and key handlers: cursors, read-out, zoom views and the printed values.
//
// Mouse coordinates are twips in the chart area (origin top-left, Y downwards). Buttons are
// 1 (left), 2 (right), 4 (middle); key codes 37 (left arrow) and 39 (right arrow) move the zoom view.

namespace platine {

class ChartView;
struct ChartState;

namespace chart {
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;
} // namespace chart

// Mouse move: empties the help line, takes N into the state, moves both cursor lines, and writes
// the read-out: in the full view the value (analog mode, with its unit) and the row under the
// mouse, which also becomes the cursor row; in a zoom view the value without unit and the cursor
// row plus the row offset in the view. Draws nothing.
void followMouse(ChartView &view, ChartState &state, float x, float y);

// Mouse button. Analog mode: the right button prints the value read-out at (X + 40, Y) with a
// 60-twip tick below the point, in the foreground colour; the left button opens the zoom view five
// rows before the row under the mouse (from row 10 down: at that row), or, in a zoom view opened
// by a click, returns to the full view. Logic mode, any button: clears the chart and opens the zoom
// view at the row under the mouse; the left button in a zoom view opened by a click returns to the
// full view.
void clickChart(ChartView &view, ChartState &state, int button, float x, float y);

// Key: the left arrow moves the zoom view two rows on (cursor row + 2), the right arrow two rows
// back; every key then redraws the zoom view in the current mode.
void stepZoomView(ChartView &view, ChartState &state, int keyCode);

} // namespace platine
