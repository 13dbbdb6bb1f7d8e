#pragma once
// What the chart's drawings and handlers take from the viewer, read from its controls once per
// action, and what they give back for the viewer to show. They read nothing else from the window
// and write nothing to it.

#include "model/Channel.h"
#include "model/Coefficients.h"

#include <QPointF>
#include <QString>

#include <optional>

namespace platine {

class DrawingSurface;
struct AcquisitionData;
struct ChartState;

struct ChartInputs {
    bool analog = true;          // analog inputs (else logic inputs)
    ChannelFlags selected{true}; // the channels selected for drawing
    QString coefficient = QString::fromLatin1(kDefaultCoefficient); // the coefficient, as typed
    int rowCount = 100;                                             // N, the number of acquisitions
    QString valueReadout;   // the value caption as it stands (a right click prints it)
    long long firstRow = 0; // the file's row in row 0 of the store: read-outs name file rows
};

// What a drawing or handler wrote; an empty member leaves its control as it is.
struct ChartOutput {
    std::optional<QString> table;            // the value table box, lines ending in CR LF
    std::optional<QString> logicZoomCaption; // the hidden logic-zoom label
    std::optional<QString> rowReadout;
    std::optional<QString> valueReadout;
    std::optional<QString> help;   // the help line
    std::optional<QPointF> cursor; // both cursor lines go through this point (twips)

    friend bool operator==(const ChartOutput &, const ChartOutput &) = default;
};

// What the drawings work on: the program's store and chart state, and the chart area's surface.
struct Chart {
    const AcquisitionData &store;
    ChartState &state;
    DrawingSurface &surface;
};

// Mouse buttons and keys as the handlers take them: buttons 1 (left), 2 (right), 4 (middle); key
// codes 37 (left arrow) and 39 (right arrow) move the zoom view; 33 to 36 (page up, page down, end,
// home) move through the file, 27 (escape) cancels a load, 107 and 109 ("+" and "-") zoom, for the
// viewer; 0 stands for any other key.
namespace chart {
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyPageUp = 33;
inline constexpr int kKeyPageDown = 34;
inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyHome = 36;
inline constexpr int kKeyPlus = 107;  // "+": zoom in, as the wheel
inline constexpr int kKeyMinus = 109; // "-": zoom out
inline constexpr int kOtherKey = 0;
} // namespace chart

} // namespace platine
