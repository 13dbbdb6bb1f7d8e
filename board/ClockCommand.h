#pragma once
// The board clock command "A": eight bytes, BCD time and date fields and the weekday number.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace platine {

// The seven fields of the clock panel, top to bottom.
struct ClockFields {
    QString hours, minutes, seconds, day, month, year, weekday;
};
enum class ClockField { Hours, Minutes, Seconds, Day, Month, Year, Weekday };

// "Heure PC": the fields from a computer date and time (two-digit fields padded, year in full).
ClockFields clockFieldsFrom(const QDateTime &now);

// The date the fields give: the year in full when it is four digits, else 2000 + its third and
// fourth digits. Invalid when the fields do not hold a day, a month and a year, or when that date
// does not exist (31/02).
QDate clockDate(const ClockFields &fields);

// Checks every value the command reads: hours 00-23, minutes and seconds 00-59, day 01-31, month
// 01-12, the year's third and fourth characters digits, a date that exists (else Day), the day
// name one of the seven spelled exactly. Returns the first wrong field, or nullopt when the
// command can be sent.
std::optional<ClockField> invalidClockField(const ClockFields &fields);

// The eight bytes "A" hh mm ss dd MM yy weekday, encoded exactly as the board expects. Only call
// with fields that invalidClockField() accepts (otherwise a missing character counts as "0" and a
// day name that is not one of the seven as day 0).
QByteArray encodeClockCommand(const ClockFields &fields);

// What a clock command sets, as the board reads it: "mercredi 28/02/07 14:07:35". Empty for any
// other message.
QString clockCommandText(QByteArrayView command);

} // namespace platine
