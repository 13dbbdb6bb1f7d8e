#include "board/ClockCommand.h"

#include <QTest>

using namespace platine;

Q_DECLARE_METATYPE(ClockFields)

namespace {

const ClockFields kWednesday{"14", "07", "35", "28", "02", "2007", "Mercredi"};

ClockFields with(QString ClockFields::*field, const char *text)
{
    ClockFields f = kWednesday;
    f.*field = QString::fromUtf8(text);
    return f;
}

} // namespace

class TestClockCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromComputerClock()
    {
        const QDate sunday(2007, 3, 4);
        const ClockFields f = clockFieldsFrom(QDateTime(sunday, QTime(9, 5, 3)));
        const QStringList got{f.heure, f.minutes, f.seconde, f.jour, f.mois, f.annee, f.numero_jour};
        QCOMPARE(got, (QStringList{"09", "05", "03", "04", "03", "2007", "Dimanche"}));
        for (int i = 0; i < 7; ++i) { // day numbers 1 to 7 from Sunday
            const ClockFields day = clockFieldsFrom(QDateTime(sunday.addDays(i), QTime(23, 59)));
            QCOMPARE(invalidClockField(day), QString());
            QCOMPARE(int(encodeClockCommand(day).at(7)), i + 1);
        }
    }

    void encode_data()
    {
        QTest::addColumn<ClockFields>("f");
        QTest::addColumn<QByteArray>("bytes");
        using QTest::newRow;
        newRow("Wednesday 28 February 2007 14:07:35")
            << kWednesday << QByteArray("\x41\x14\x07\x35\x28\x02\x07\x04", 8);
        newRow("Sunday 4 March 2007 09:05:03")
            << ClockFields{"09", "05", "03", "04", "03", "2007", "Dimanche"}
            << QByteArray("\x41\x09\x05\x03\x04\x03\x07\x01", 8);
        newRow("31 December 1999 23:59:59, Saturday")
            << ClockFields{"23", "59", "59", "31", "12", "1999", "Samedi"}
            << QByteArray("\x41\x23\x59\x59\x31\x12\x99\x07", 8);
        newRow("unread characters ignored")
            << ClockFields{"123", "00 min", "00s", "15/", "01/", "20251", "Jeudi"}
            << QByteArray("\x41\x12\x00\x00\x15\x01\x25\x05", 8);
    }

    void encode()
    {
        QFETCH(ClockFields, f);
        QFETCH(QByteArray, bytes);
        QCOMPARE(invalidClockField(f), QString());
        QCOMPARE(encodeClockCommand(f), bytes);
    }

    void refusedFields_data()
    {
        QTest::addColumn<ClockFields>("f");
        QTest::addColumn<QString>("wrong");
        using QTest::newRow;
        newRow("hours 00") << with(&ClockFields::heure, "00") << "";
        newRow("hours 23") << with(&ClockFields::heure, "23") << "";
        newRow("hours 24") << with(&ClockFields::heure, "24") << "heure";
        newRow("hours one digit") << with(&ClockFields::heure, "7") << "heure";
        newRow("hours letter") << with(&ClockFields::heure, "1a") << "heure";
        newRow("hours Arabic digits") << with(&ClockFields::heure, "١٢") << "heure";
        newRow("minutes 59") << with(&ClockFields::minutes, "59") << "";
        newRow("minutes 60") << with(&ClockFields::minutes, "60") << "minutes";
        newRow("seconds 60") << with(&ClockFields::seconde, "60") << "seconde";
        newRow("day 01") << with(&ClockFields::jour, "01") << "";
        newRow("day 31") << with(&ClockFields::jour, "31") << "";
        newRow("day 00") << with(&ClockFields::jour, "00") << "jour";
        newRow("day 32") << with(&ClockFields::jour, "32") << "jour";
        newRow("month 12") << with(&ClockFields::mois, "12") << "";
        newRow("month 00") << with(&ClockFields::mois, "00") << "mois";
        newRow("month 13") << with(&ClockFields::mois, "13") << "mois";
        newRow("year ab07") << with(&ClockFields::annee, "ab07") << "";
        newRow("year two digits") << with(&ClockFields::annee, "07") << "annee";
        newRow("year letter") << with(&ClockFields::annee, "20O7") << "annee";
        newRow("day lower case") << with(&ClockFields::numero_jour, "mercredi") << "numero_jour";
        newRow("day with blank") << with(&ClockFields::numero_jour, "Mercredi ") << "numero_jour";
        newRow("first wrong field reported")
            << ClockFields{"14", "61", "35", "28", "13", "2007", "x"} << "minutes";
    }

    void refusedFields()
    {
        QFETCH(ClockFields, f);
        QFETCH(QString, wrong);
        QCOMPARE(invalidClockField(f), wrong);
    }
};

QTEST_GUILESS_MAIN(TestClockCommand)
#include "tst_clockcommand.moc"
