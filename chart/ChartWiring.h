#pragma once
// Connects the chart to the viewer window: "Tracer" draws the full view, the chart area's mouse
// and key signals run the cursor handlers. Everything works on the program's chart state, so the
// state survives the window.

class QAbstractButton;

namespace platine {

class ChartArea;
class ChartView;
struct ChartState;

// The connections live as long as the chart area and the button; view and state must outlive both
// (view is the window's own view of its controls, state the program's).
void connectChart(QAbstractButton *drawButton, ChartArea *area, ChartView &view, ChartState &state);

} // namespace platine
