#pragma once
// The picture of the overview strip: one pixel column per overview column. In analog mode each
// selected analog channel is a vertical stroke from its least to its greatest value over the
// column's rows, in its trace colour, on a scale that fits every selected channel of the whole
// file; so no spike is lost, however many rows a pixel holds. In logic mode each logic input has a
// band (LOG 4 on top, as in the chart) where its levels show: high at the top, low at the bottom,
// both as a stroke between. The columns whose rows are in the full view are marked behind.

#include "model/Channel.h"
#include "model/Overview.h"

#include <QImage>
#include <QSize>

#include <optional>
#include <vector>

namespace platine {

struct OverviewLook {
    bool analog = true;
    ChannelFlags selected{true};
    qint64 shownFirst = 0; // the rows of the full view: shownFirst .. shownEnd - 1
    qint64 shownEnd = 0;
};

// The columns must be as many as the picture is wide.
QImage drawOverview(const std::vector<OverviewColumn> &columns, QSize size,
                    const OverviewLook &look);

// The row a click at pixel column x stands for: the middle row of that column.
std::optional<qint64> overviewRowAt(const std::vector<OverviewColumn> &columns, int x);

} // namespace platine
