#include "board/ClockCommand.h"

namespace platine {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A character's digit value; anything but a decimal digit counts as 0.
int digit(QChar c)
{
    return isAsciiDigit(c) ? c.unicode() - u'0' : 0;
}

QString twoDigits(int v)
{
    QString s = QString::number(v);
    if (s.size() == 1)
        s.prepend(u'0');
    return s;
}

// The two characters at `pos` are decimal digits and their number lies in [low, high].
bool twoDigitsIn(const QString &text, qsizetype pos, int low, int high)
{
    if (text.size() < pos + 2 || !isAsciiDigit(text[pos]) || !isAsciiDigit(text[pos + 1]))
        return false;
    const int value = digit(text[pos]) * 10 + digit(text[pos + 1]);
    return value >= low && value <= high;
}

int dayNumber(const QString &name)
{
    const qsizetype i = dayNames().indexOf(name); // whole text, case-sensitive
    return i < 0 ? 0 : int(i) + 1;
}

} // namespace

const QStringList &dayNames()
{
    static const QStringList names = {
        QStringLiteral("Dimanche"), QStringLiteral("Lundi"),    QStringLiteral("Mardi"),
        QStringLiteral("Mercredi"), QStringLiteral("Jeudi"),    QStringLiteral("Vendredi"),
        QStringLiteral("Samedi"),
    };
    return names;
}

ClockFields clockFieldsFrom(const QDateTime &now)
{
    const QTime t = now.time();
    const QDate d = now.date();
    ClockFields f;
    f.heure = twoDigits(t.hour());
    f.minutes = twoDigits(t.minute());
    f.seconde = twoDigits(t.second());
    f.jour = twoDigits(d.day());
    f.mois = twoDigits(d.month());
    f.annee = QString::number(d.year());
    f.numero_jour = dayNames().at(d.dayOfWeek() % 7); // Qt: Monday 1 .. Sunday 7
    return f;
}

QString invalidClockField(const ClockFields &f)
{
    if (!twoDigitsIn(f.heure, 0, 0, 23))
        return QStringLiteral("heure");
    if (!twoDigitsIn(f.minutes, 0, 0, 59))
        return QStringLiteral("minutes");
    if (!twoDigitsIn(f.seconde, 0, 0, 59))
        return QStringLiteral("seconde");
    if (!twoDigitsIn(f.jour, 0, 1, 31))
        return QStringLiteral("jour");
    if (!twoDigitsIn(f.mois, 0, 1, 12))
        return QStringLiteral("mois");
    if (!twoDigitsIn(f.annee, 2, 0, 99))
        return QStringLiteral("annee");
    if (dayNumber(f.numero_jour) == 0)
        return QStringLiteral("numero_jour");
    return {};
}

int bcdByte(QChar first, QChar second)
{
    return 16 * digit(first) + digit(second);
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
    m += bcd(f.heure, 0);
    m += bcd(f.minutes, 0);
    m += bcd(f.seconde, 0);
    m += bcd(f.jour, 0);
    m += bcd(f.mois, 0);
    m += bcd(f.annee, 2);
    m += char(dayNumber(f.numero_jour));
    return m;
}

} // namespace platine
