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

QDate clockDate(const ClockFields &f)
{
    if (!twoDigitsIn(f.day, 0, 1, 31) || !twoDigitsIn(f.month, 0, 1, 12)
        || !twoDigitsIn(f.year, 2, 0, 99))
        return {};
    const bool full = f.year.size() == 4 && twoDigitsIn(f.year, 0, 0, 99);
    const int year = full ? f.year.toInt() : 2000 + twoDigitValue(f.year[2], f.year[3]);
    return QDate(year, twoDigitValue(f.month[0], f.month[1]), twoDigitValue(f.day[0], f.day[1]));
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
    if (!clockDate(f).isValid())
        return ClockField::Day;
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

QString clockCommandText(QByteArrayView c)
{
    if (c.size() != 8 || c[0] != 'A' || c[7] < 1 || c[7] > 7)
        return {};
    const auto bcd = [&](int i) {
        return QStringLiteral("%1").arg(uchar(c[i]), 2, 16, QLatin1Char('0'));
    };
    return QStringLiteral("%1 %2/%3/%4 %5:%6:%7")
        .arg(weekdayNames().at(c[7] - 1).toLower(), bcd(4), bcd(5), bcd(6), bcd(1), bcd(2), bcd(3));
}

} // namespace platine
