#pragma once
// The state of the running program that lives outside the windows' controls: the acquisition
// store, the file it is a window of (if any) and where, the chart's state, the demonstration
// generator and the value tables' cycle. The start-up
// creates one and hands it to the viewer window; it outlives every viewer window, so hiding or
// closing the viewer keeps it all.

#include "chart/ChartState.h"
#include "model/AcquisitionData.h"
#include "model/AcquisitionFile.h"
#include "model/DemoData.h"
#include "model/Tables.h"

namespace platine {

struct ProgramState {
    AcquisitionData store;
    std::unique_ptr<AcquisitionFile> file; // the file browsed
    qint64 firstRow = 0;                   // W: the file's row in row 0 of the store
    ChartState chart;
    DemoGenerator demo;
    TableCycle tables;
};

} // namespace platine
