#pragma once
// Connects the chart to the viewer window: "Tracer" draws the full view, the chart area's mouse
// and key signals run the cursor handlers. Everything works on the program-wide chart state, so
// the state survives the window.

class QAbstractButton;

namespace platine {

class ChartArea;
class ChartView;

// The connections live as long as the chart area and the button; view must outlive both (it is the
// window's own view of its controls).
void connectChart(QAbstractButton *tracer, ChartArea *area, ChartView &view);

} // namespace platine
