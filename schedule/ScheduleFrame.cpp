#include "schedule/ScheduleFrame.h"

#include "platform/Bcd.h"
#include "platform/DayNames.h"
#include "platform/LeadingNumber.h"

#include <cmath>

namespace platine {

namespace {

bool isPlainDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

} // namespace

const QStringList &dayListEntries()
{
    // The seven days, then the three groups of days.
    static const QStringList entries = weekdayNames()
        + QStringList{QStringLiteral("Samedi et Dimanche"), QStringLiteral("Lundi à Vendredi"),
                      QStringLiteral("Tous les jours")};
    return entries;
}

int dayCode(int dayPosition)
{
    return dayPosition >= 0 && dayPosition < kDayEntryCount ? dayPosition + 1 : 0;
}

QString correctPeriod(const QString &text)
{
    const QString two = QStringLiteral("02");
    QString t = text;

    // No number, or a number worth 0.
    if (!beginsWithNumber(t)) {
        t = two;
    } else {
        const double v = leadingNumber(t);
        if (v == 0.0 || std::isnan(v))
            t = two;
    }
    // A single character gets its leading zero.
    if (t.size() == 1)
        t.prepend(u'0');
    // Too small, too large.
    if (leadingNumber(t) < kPeriodMin)
        t = two;
    if (leadingNumber(t) > kPeriodMax)
        t = QStringLiteral("120");

    if (isPlainDigits(t))
        return t;

    // A number written in another form: its whole part, in plain digits.
    double v = std::trunc(leadingNumber(t));
    if (std::isnan(v) || v < kPeriodMin)
        v = kPeriodMin;
    if (v > kPeriodMax)
        v = kPeriodMax;
    return twoDigitText(static_cast<int>(v));
}

std::optional<int> periodSeconds(const QString &corrected)
{
    if (!isPlainDigits(corrected))
        return std::nullopt;
    int value = 0;
    for (QChar c : corrected) {
        value = value * 10 + digitValue(c);
        if (value > kPeriodMax)
            return std::nullopt;
    }
    if (value < kPeriodMin)
        return std::nullopt;
    return value;
}

bool isValidTimeText(const QString &text)
{
    return twoDigitsIn(text, 0, 0, 23) && twoDigitsIn(text, 3, 0, 59)
        && (text.size() <= 5 || twoDigitsIn(text, 6, 0, 59));
}

QList<int> windowsEndingBeforeStart(const ScheduleValues &values)
{
    const auto minutes = [](const QString &t) {
        return twoDigitValue(t.at(0), t.at(1)) * 60 + twoDigitValue(t.at(3), t.at(4));
    };
    QList<int> windows;
    for (int w = 0; w < kScheduleTimeCount / 2; ++w) {
        const QString &start = values.boxes[2 * w], &end = values.boxes[2 * w + 1];
        if (isValidTimeText(start) && isValidTimeText(end) && minutes(end) < minutes(start))
            windows << w;
    }
    return windows;
}

int firstInvalidTimeBox(const ScheduleValues &values)
{
    for (int k = 0; k < kScheduleTimeCount; ++k) {
        if (!isValidTimeText(values.boxes[k]))
            return k;
    }
    return -1;
}

std::optional<QByteArray> scheduleBody(const ScheduleValues &values)
{
    if (firstInvalidTimeBox(values) >= 0)
        return std::nullopt;
    const std::optional<int> period = periodSeconds(values.boxes[kPeriodBox]);
    if (!period)
        return std::nullopt;

    QByteArray body(kScheduleBodySize, '\0');
    for (int k = 0; k < kScheduleTimeCount; ++k) {
        const QString &t = values.boxes[k];
        body[2 * k] = static_cast<char>(bcdByte(t.at(0), t.at(1)));
        body[2 * k + 1] = static_cast<char>(bcdByte(t.at(3), t.at(4)));
    }
    body[12] = static_cast<char>(dayCode(values.dayPosition));
    body[13] = static_cast<char>(*period);
    return body;
}

QByteArray scheduleFrame(const QByteArray &body)
{
    return QByteArray(1, 'B') + body;
}

QByteArray debugIniContents(const QByteArray &body)
{
    QByteArray out;
    for (int k = 0; k < 15; ++k) {
        const int value = k < body.size() ? static_cast<unsigned char>(body.at(k)) : 0;
        out += ' ' + QByteArray::number(k) + " :" + QByteArray::number(value) + "\r\n";
    }
    return out;
}

QString computerTimeText(const QTime &time)
{
    return time.toString(QStringLiteral("hh:mm")) + QStringLiteral(":00");
}

int weekdayPosition(const QDate &date)
{
    return weekdayIndex(date);
}

} // namespace platine
