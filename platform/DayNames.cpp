#include "platform/DayNames.h"

namespace platine {

const QStringList &weekdayNames()
{
    static const QStringList names = {
        QStringLiteral("Dimanche"), QStringLiteral("Lundi"), QStringLiteral("Mardi"),
        QStringLiteral("Mercredi"), QStringLiteral("Jeudi"), QStringLiteral("Vendredi"),
        QStringLiteral("Samedi"),
    };
    return names;
}

int weekdayIndex(const QDate &date)
{
    return date.dayOfWeek() % 7; // Qt: Monday 1 .. Sunday 7
}

} // namespace platine
