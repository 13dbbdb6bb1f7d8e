#pragma once
// The drawings of the chart area: the full view ("Tracer") and the zoom view, in analog form
// (temperature and analog inputs as polylines) and logic form (four square waves in bands).
//
// Coordinates are twips with the origin at the chart area's top-left corner, Y downwards. Traces
// start at X 1000; the value 0 lies on the baseline Y 5040; one unit of raw value x coefficient is
// 20 twips. Every segment goes to the surface the moment its end points are known. A segment whose
// coordinates do not fit single precision is not drawn; rows outside the store contribute nothing;
// the rest of the drawing goes on.

#include "chart/ChartInputs.h"

#include <QColor>

namespace platine {

namespace chart {

constexpr double kOriginX = 1000.0;
constexpr double kBaselineY = 5040.0;
constexpr double kVerticalFactor = 20.0;
constexpr double kLogicLow = 300.0;
constexpr double kFullBandPitch = 700.0;
constexpr double kZoomBandPitch = 650.0;
constexpr int kZoomRows = 10;       // zoom step is W / 10
constexpr int kAnalogZoomRows = 11; // rows s0 .. s0 + 10 start a segment
constexpr int kLogicZoomRows = 81;  // rows s0 .. s0 + 80

// The colour of a channel's trace.
QColor traceColour(Channel c);

// Draws the analog traces of rows first .. last (each row r a segment to row r + 1) of every
// selected analog channel, in the store's order, from X 1000 on, advancing by step per row, at
// coefficient k.
void drawAnalogRows(DrawingSurface &surface, const AcquisitionData &store,
                    const ChannelFlags &selected, double k, long long first, long long last,
                    double step);

// Draws the logic rows r0 .. r0 + rows - 1 from X 1000 on, advancing by step per row, the logic
// channel at position b in the band whose top is pitch x b. The level is carried from band to band
// and from row to row: a value 0 is the low level (300 below the band top), 1 the high level (the
// band top), anything else keeps the level of the band drawn just before. A change of a band's
// level from its previous row draws a vertical edge (a rectangle outline of zero width) at the
// row's X; a band starts low-to-high, so a first value 0 draws an edge at X 1000. Values outside
// the store are skipped entirely.
void drawLogicRows(DrawingSurface &surface, const AcquisitionData &store, long long r0,
                   long long rows, double step, double pitch);

} // namespace chart

// "Tracer": the full view of rows 0 to N in the current mode. In analog mode the value table box is
// rewritten with the N + 1 temperatures. Takes N into the state and leaves every zoom.
ChartOutput drawFullView(const ChartInputs &in, Chart target);

// The zoom view of ten rows from s0 on, step W / 10. Analog: rows s0 .. s0 + 10 of the selected
// channels. Logic: the logic-zoom caption becomes "<4 s0>:dep= <s0>" and rows s0 .. s0 + 80 are
// drawn with band pitch 650 (only about ten of them fall inside the chart area). Changes no chart
// state.
ChartOutput drawZoomView(const ChartInputs &in, Chart target, long long s0, bool analog);

} // namespace platine
