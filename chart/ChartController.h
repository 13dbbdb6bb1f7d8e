#pragma once
// The chart area's mouse and key handlers: cursors, read-out, zoom views and the printed values.
//
// Mouse coordinates are twips in the chart area (origin top-left, Y downwards). Buttons are
// 1 (left), 2 (right), 4 (middle); key codes 37 (left arrow) and 39 (right arrow) move the zoom view.
// Shift states are accepted and not used.

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

// Picture1_MouseMove: empties the help line, takes N from HScroll1 into nbre_acq, moves both cursor
// lines, and writes the read-out: in the full view the value (analog mode, with its unit) and the
// row under the mouse, which also becomes acq_curseur; in a zoom view the value without unit and
// acq_curseur plus the row offset in the view. Draws nothing.
void mouseMove(ChartView &view, ChartState &state, int button, int shift, float x, float y);

// Picture1_MouseDown. Analog mode: the right button prints the value caption at (X + 40, Y) with a
// 60-twip tick below the point, in the foreground colour; the left button opens the zoom view five
// rows before the row under the mouse (from row 10 down: at that row), or, in a zoom view opened
// by a click, returns to the full view. Logic mode, any button: clears the chart and opens the zoom
// view at the row under the mouse; the left button in a zoom view opened by a click returns to the
// full view.
void mouseDown(ChartView &view, ChartState &state, int button, int shift, float x, float y);

// Picture1_KeyDown: the left arrow moves the zoom view two rows on (acq_curseur + 2), the right
// arrow two rows back; every key then redraws the zoom view in the current mode.
void keyDown(ChartView &view, ChartState &state, int keyCode, int shift);

} // namespace platine
