#include "platform/Bcd.h"

namespace platine {

QString twoDigitText(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace platine
