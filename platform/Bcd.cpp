#include "platform/Bcd.h"

namespace platine {

bool twoDigitsIn(const QString &text, qsizetype pos, int low, int high)
{
    if (text.size() < pos + 2 || !isAsciiDigit(text[pos]) || !isAsciiDigit(text[pos + 1]))
        return false;
    const int value = twoDigitValue(text[pos], text[pos + 1]);
    return value >= low && value <= high;
}

QString twoDigitText(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace platine
