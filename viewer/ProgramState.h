#pragma once
// The state of the running program that lives outside the windows' controls: the viewer's file
// session (the acquisition store, the files loaded and loading, the window shown, the reports to
// tell), the chart's state, the demonstration generator and the value tables' cycle. The start-up
// creates one and hands it to the viewer window; it outlives every viewer window, so hiding or
// closing the viewer keeps it all, a load running included.

#include "chart/ChartState.h"
#include "model/DemoData.h"
#include "model/Tables.h"
#include "viewer/FileSession.h"

namespace platine {

struct ProgramState {
    FileSession session;
    ChartState chart;
    DemoGenerator demo;
    TableCycle tables;
};

} // namespace platine
