#include "viewer/FileWindow.h"

#include "chart/ChartInputs.h"

#include <algorithm>

namespace platine {

qint64 windowStart(qint64 first, int n, qint64 rows)
{
    return std::clamp<qint64>(first, 0, std::max<qint64>(0, rows - n - 1));
}

std::optional<qint64> windowStartAfterKey(int keyCode, qint64 first, int n, qint64 rows)
{
    const qint64 page = n + 1;
    switch (keyCode) {
    case chart::kKeyPageDown: return first + page;
    case chart::kKeyPageUp: return first - page;
    case chart::kKeyHome: return 0;
    case chart::kKeyEnd: return rows - page;
    default: return std::nullopt;
    }
}

} // namespace platine
