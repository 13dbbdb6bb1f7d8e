#include "board/ClockCommand.h"

#include <QTest>

using namespace platine;
using namespace Qt::StringLiterals;

namespace {

ClockFields fields(const QString &h, const QString &m, const QString &s, const QString &d,
                   const QString &mo, const QString &y, const QString &day)
{
    return ClockFields{h, m, s, d, mo, y, day};
}

ClockFields wednesday()
{
    return fields(u"14"_s, u"07"_s, u"35"_s, u"28"_s, u"02"_s, u"2007"_s, u"Mercredi"_s);
}

} // namespace

Q_DECLARE_METATYPE(ClockFields)

class TestClockCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dayTable()
    {
        QCOMPARE(dayNames(), (QStringList{u"Dimanche"_s, u"Lundi"_s, u"Mardi"_s, u"Mercredi"_s,
                                          u"Jeudi"_s, u"Vendredi"_s, u"Samedi"_s}));
    }

    void fromComputerClock_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QStringList>("expected"); // heure .. numero_jour
        QTest::newRow("Sunday 4 March 2007 09:05:03")
            << QDateTime(QDate(2007, 3, 4), QTime(9, 5, 3))
            << QStringList{u"09"_s, u"05"_s, u"03"_s, u"04"_s, u"03"_s, u"2007"_s, u"Dimanche"_s};
        QTest::newRow("Wednesday 28 February 2007 14:07:35")
            << QDateTime(QDate(2007, 2, 28), QTime(14, 7, 35))
            << QStringList{u"14"_s, u"07"_s, u"35"_s, u"28"_s, u"02"_s, u"2007"_s, u"Mercredi"_s};
        QTest::newRow("Saturday midnight")
            << QDateTime(QDate(2024, 12, 31).addDays(-3), QTime(0, 0, 0))
            << QStringList{u"00"_s, u"00"_s, u"00"_s, u"28"_s, u"12"_s, u"2024"_s, u"Samedi"_s};
        QTest::newRow("Monday end of day")
            << QDateTime(QDate(2031, 11, 10), QTime(23, 59, 59))
            << QStringList{u"23"_s, u"59"_s, u"59"_s, u"10"_s, u"11"_s, u"2031"_s, u"Lundi"_s};
    }

    void fromComputerClock()
    {
        QFETCH(QDateTime, now);
        QFETCH(QStringList, expected);
        const ClockFields f = clockFieldsFrom(now);
        QCOMPARE((QStringList{f.heure, f.minutes, f.seconde, f.jour, f.mois, f.annee, f.numero_jour}),
                 expected);
        QCOMPARE(invalidClockField(f), QString());
    }

    void weekdayNumbers()
    {
        // 25 February 2007 was a Sunday: day numbers 1 to 7 follow.
        for (int i = 0; i < 7; ++i) {
            const ClockFields f = clockFieldsFrom(QDateTime(QDate(2007, 2, 25).addDays(i), QTime(12, 0)));
            QCOMPARE(f.numero_jour, dayNames().at(i));
            QCOMPARE(int(encodeClockCommand(f).at(7)), i + 1);
        }
    }

    void encode_data()
    {
        QTest::addColumn<ClockFields>("f");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Wednesday 28 February 2007 14:07:35")
            << wednesday() << QByteArray("\x41\x14\x07\x35\x28\x02\x07\x04", 8);
        QTest::newRow("Sunday 4 March 2007 09:05:03")
            << fields(u"09"_s, u"05"_s, u"03"_s, u"04"_s, u"03"_s, u"2007"_s, u"Dimanche"_s)
            << QByteArray("\x41\x09\x05\x03\x04\x03\x07\x01", 8);
        QTest::newRow("year 1999")
            << fields(u"23"_s, u"59"_s, u"59"_s, u"31"_s, u"12"_s, u"1999"_s, u"Samedi"_s)
            << QByteArray("\x41\x23\x59\x59\x31\x12\x99\x07", 8);
        QTest::newRow("three-digit hours use the first two")
            << fields(u"123"_s, u"00"_s, u"00"_s, u"01"_s, u"01"_s, u"2000"_s, u"Lundi"_s)
            << QByteArray("\x41\x12\x00\x00\x01\x01\x00\x02", 8);
        QTest::newRow("five-digit year uses its 3rd and 4th digits")
            << fields(u"00"_s, u"00"_s, u"00"_s, u"01"_s, u"01"_s, u"20071"_s, u"Mardi"_s)
            << QByteArray("\x41\x00\x00\x00\x01\x01\x07\x03", 8);
        QTest::newRow("extra characters ignored")
            << fields(u"10h"_s, u"20 min"_s, u"30s"_s, u"15/"_s, u"06/"_s, u"2025!"_s, u"Jeudi"_s)
            << QByteArray("\x41\x10\x20\x30\x15\x06\x25\x05", 8);
        QTest::newRow("unknown day name is day 0")
            << fields(u"14"_s, u"07"_s, u"35"_s, u"28"_s, u"02"_s, u"2007"_s, u"dimanche"_s)
            << QByteArray("\x41\x14\x07\x35\x28\x02\x07\x00", 8);
        QTest::newRow("day name with a blank is day 0")
            << fields(u"14"_s, u"07"_s, u"35"_s, u"28"_s, u"02"_s, u"2007"_s, u"Vendredi "_s)
            << QByteArray("\x41\x14\x07\x35\x28\x02\x07\x00", 8);
    }

    void encode()
    {
        QFETCH(ClockFields, f);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeClockCommand(f), bytes);
    }

    void bcd_data()
    {
        QTest::addColumn<QChar>("first");
        QTest::addColumn<QChar>("second");
        QTest::addColumn<int>("value");
        QTest::newRow("27") << QChar(u'2') << QChar(u'7') << 0x27;
        QTest::newRow("08") << QChar(u'0') << QChar(u'8') << 0x08;
        QTest::newRow("99") << QChar(u'9') << QChar(u'9') << 0x99;
        QTest::newRow("letter counts 0") << QChar(u'a') << QChar(u'1') << 0x01;
        QTest::newRow("non-ASCII digit counts 0") << QChar(u'٣') << QChar(u'5') << 0x05;
    }

    void bcd()
    {
        QFETCH(QChar, first);
        QFETCH(QChar, second);
        QFETCH(int, value);
        QCOMPARE(bcdByte(first, second), value);
    }

    void validation_data()
    {
        QTest::addColumn<ClockFields>("f");
        QTest::addColumn<QString>("wrong");
        auto with = [](auto change) {
            ClockFields f = wednesday();
            change(f);
            return f;
        };
        QTest::newRow("valid") << wednesday() << "";
        QTest::newRow("hours 00") << with([](ClockFields &f) { f.heure = u"00"_s; }) << "";
        QTest::newRow("hours 23") << with([](ClockFields &f) { f.heure = u"23"_s; }) << "";
        QTest::newRow("hours 123 reads 12") << with([](ClockFields &f) { f.heure = u"123"_s; }) << "";
        QTest::newRow("hours 24") << with([](ClockFields &f) { f.heure = u"24"_s; }) << "heure";
        QTest::newRow("hours 27") << with([](ClockFields &f) { f.heure = u"27"_s; }) << "heure";
        QTest::newRow("hours one digit") << with([](ClockFields &f) { f.heure = u"7"_s; }) << "heure";
        QTest::newRow("hours empty") << with([](ClockFields &f) { f.heure = u""_s; }) << "heure";
        QTest::newRow("hours letter") << with([](ClockFields &f) { f.heure = u"1a"_s; }) << "heure";
        QTest::newRow("hours blank") << with([](ClockFields &f) { f.heure = u" 9"_s; }) << "heure";
        QTest::newRow("hours Arabic digits")
            << with([](ClockFields &f) { f.heure = u"١٢"_s; }) << "heure";
        QTest::newRow("hours placeholder") << with([](ClockFields &f) { f.heure = u".."_s; })
                                           << "heure";
        QTest::newRow("minutes 59") << with([](ClockFields &f) { f.minutes = u"59"_s; }) << "";
        QTest::newRow("minutes 60") << with([](ClockFields &f) { f.minutes = u"60"_s; })
                                    << "minutes";
        QTest::newRow("seconds 60") << with([](ClockFields &f) { f.seconde = u"60"_s; })
                                    << "seconde";
        QTest::newRow("seconds one digit") << with([](ClockFields &f) { f.seconde = u"5"_s; })
                                           << "seconde";
        QTest::newRow("day 01") << with([](ClockFields &f) { f.jour = u"01"_s; }) << "";
        QTest::newRow("day 31") << with([](ClockFields &f) { f.jour = u"31"_s; }) << "";
        QTest::newRow("day 00") << with([](ClockFields &f) { f.jour = u"00"_s; }) << "jour";
        QTest::newRow("day 32") << with([](ClockFields &f) { f.jour = u"32"_s; }) << "jour";
        QTest::newRow("month 12") << with([](ClockFields &f) { f.mois = u"12"_s; }) << "";
        QTest::newRow("month 00") << with([](ClockFields &f) { f.mois = u"00"_s; }) << "mois";
        QTest::newRow("month 13") << with([](ClockFields &f) { f.mois = u"13"_s; }) << "mois";
        QTest::newRow("year 1999") << with([](ClockFields &f) { f.annee = u"1999"_s; }) << "";
        QTest::newRow("year ab07") << with([](ClockFields &f) { f.annee = u"ab07"_s; }) << "";
        QTest::newRow("year five digits") << with([](ClockFields &f) { f.annee = u"20071"_s; })
                                          << "";
        QTest::newRow("year two digits") << with([](ClockFields &f) { f.annee = u"07"_s; })
                                         << "annee";
        QTest::newRow("year three digits") << with([](ClockFields &f) { f.annee = u"200"_s; })
                                           << "annee";
        QTest::newRow("year letter") << with([](ClockFields &f) { f.annee = u"20O7"_s; })
                                     << "annee";
        QTest::newRow("day name lower case")
            << with([](ClockFields &f) { f.numero_jour = u"mercredi"_s; }) << "numero_jour";
        QTest::newRow("day name with blank")
            << with([](ClockFields &f) { f.numero_jour = u"Mercredi "_s; }) << "numero_jour";
        QTest::newRow("day name empty")
            << with([](ClockFields &f) { f.numero_jour = u""_s; }) << "numero_jour";
        QTest::newRow("first wrong field reported") << with([](ClockFields &f) {
            f.mois = u"13"_s;
            f.minutes = u"61"_s;
            f.numero_jour = u"x"_s;
        }) << "minutes";
    }

    void validation()
    {
        QFETCH(ClockFields, f);
        QFETCH(QString, wrong);
        QCOMPARE(invalidClockField(f), wrong);
    }
};

QTEST_GUILESS_MAIN(TestClockCommand)
#include "tst_clockcommand.moc"
