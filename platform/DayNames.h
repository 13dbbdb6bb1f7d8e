#pragma once
// The names of the days as the board's programs write them.

#include <QDate>
#include <QStringList>

namespace platine {

// "Dimanche", "Lundi" .. "Samedi": the board numbers them 1 to 7 in this order.
const QStringList &weekdayNames();

// The weekday of a date as an index into weekdayNames(): 0 (Sunday) .. 6 (Saturday).
int weekdayIndex(const QDate &date);

} // namespace platine
