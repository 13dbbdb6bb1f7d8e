#include "board/ClockCommand.h"

#include "platform/Bcd.h"
#include "platform/DayNames.h"

namespace platine {

namespace {

int dayNumber(const QString &name)
{
    const qsizetype i = weekdayNames().indexOf(name); // whole text, case-sensitive
    return i < 0 ? 0 : int(i) + 1;
}

} // namespace

ClockFields clockFieldsFrom(const QDateTime &now)
{
    const QTime t = now.time();
    const QDate d = now.date();
    ClockFields f;
    f.hours = twoDigitText(t.hour());
    f.minutes = twoDigitText(t.minute());
    f.seconds = twoDigitText(t.second());
    f.day = twoDigitText(d.day());
    f.month = twoDigitText(d.month());
    f.year = QString::number(d.year());
    f.weekday = weekdayNames().at(weekdayIndex(d));
    return f;
}

std::optional<ClockField> invalidClockField(const ClockFields &f)
{
    if (!twoDigitsIn(f.hours, 0, 0, 23))
        return ClockField::Hours;
    if (!twoDigitsIn(f.minutes, 0, 0, 59))
        return ClockField::Minutes;
    if (!twoDigitsIn(f.seconds, 0, 0, 59))
        return ClockField::Seconds;
    if (!twoDigitsIn(f.day, 0, 1, 31))
        return ClockField::Day;
    if (!twoDigitsIn(f.month, 0, 1, 12))
        return ClockField::Month;
    if (!twoDigitsIn(f.year, 2, 0, 99))
        return ClockField::Year;
    if (dayNumber(f.weekday) == 0)
        return ClockField::Weekday;
    return std::nullopt;
}

QByteArray encodeClockCommand(const ClockFields &f)
{
    auto at = [](const QString &s, qsizetype i) { return i < s.size() ? s[i] : QChar(u'0'); };
    auto bcd = [&](const QString &s, qsizetype pos) {
        return char(bcdByte(at(s, pos), at(s, pos + 1)));
    };
    QByteArray m;
    m.reserve(8);
    m += 'A';
    m += bcd(f.hours, 0);
    m += bcd(f.minutes, 0);
    m += bcd(f.seconds, 0);
    m += bcd(f.day, 0);
    m += bcd(f.month, 0);
    m += bcd(f.year, 2);
    m += char(dayNumber(f.weekday));
    return m;
}

} // namespace platine
