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

int wrongField(const ClockFields &f)
{
    const std::optional<ClockField> wrong = invalidClockField(f);
    return wrong ? int(*wrong) : -1;
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
        const QStringList got{f.hours, f.minutes, f.seconds, f.day, f.month, f.year, f.weekday};
        QCOMPARE(got, (QStringList{"09", "05", "03", "04", "03", "2007", "Dimanche"}));
        for (int i = 0; i < 7; ++i) { // day numbers 1 to 7 from Sunday
            const ClockFields day = clockFieldsFrom(QDateTime(sunday.addDays(i), QTime(23, 59)));
            QCOMPARE(wrongField(day), -1);
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
        QCOMPARE(wrongField(f), -1);
        QCOMPARE(encodeClockCommand(f), bytes);
    }

    void refusedFields_data()
    {
        QTest::addColumn<ClockFields>("f");
        QTest::addColumn<int>("wrong"); // a ClockField, -1 for none
        using QTest::newRow;
        newRow("hours 00") << with(&ClockFields::hours, "00") << -1;
        newRow("hours 23") << with(&ClockFields::hours, "23") << -1;
        newRow("hours 24") << with(&ClockFields::hours, "24") << int(ClockField::Hours);
        newRow("hours one digit") << with(&ClockFields::hours, "7") << int(ClockField::Hours);
        newRow("hours letter") << with(&ClockFields::hours, "1a") << int(ClockField::Hours);
        newRow("hours Arabic digits") << with(&ClockFields::hours, "١٢") << int(ClockField::Hours);
        newRow("minutes 59") << with(&ClockFields::minutes, "59") << -1;
        newRow("minutes 60") << with(&ClockFields::minutes, "60") << int(ClockField::Minutes);
        newRow("seconds 60") << with(&ClockFields::seconds, "60") << int(ClockField::Seconds);
        newRow("day 01") << with(&ClockFields::day, "01") << -1;
        newRow("day 31") << with(&ClockFields::day, "31") << -1;
        newRow("day 00") << with(&ClockFields::day, "00") << int(ClockField::Day);
        newRow("day 32") << with(&ClockFields::day, "32") << int(ClockField::Day);
        newRow("month 12") << with(&ClockFields::month, "12") << -1;
        newRow("month 00") << with(&ClockFields::month, "00") << int(ClockField::Month);
        newRow("month 13") << with(&ClockFields::month, "13") << int(ClockField::Month);
        newRow("year ab07") << with(&ClockFields::year, "ab07") << -1;
        newRow("year two digits") << with(&ClockFields::year, "07") << int(ClockField::Year);
        newRow("year letter") << with(&ClockFields::year, "20O7") << int(ClockField::Year);
        newRow("day lower case") << with(&ClockFields::weekday, "mercredi")
                                 << int(ClockField::Weekday);
        newRow("day with blank") << with(&ClockFields::weekday, "Mercredi ")
                                 << int(ClockField::Weekday);
        newRow("first wrong field reported")
            << ClockFields{"14", "61", "35", "28", "13", "2007", "x"} << int(ClockField::Minutes);
    }

    void refusedFields()
    {
        QFETCH(ClockFields, f);
        QFETCH(int, wrong);
        QCOMPARE(wrongField(f), wrong);
    }
};

QTEST_GUILESS_MAIN(TestClockCommand)
#include "tst_clockcommand.moc"
