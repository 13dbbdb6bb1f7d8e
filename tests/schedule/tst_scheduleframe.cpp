// The schedule command "B": period correction, time boxes, day codes, the 125 bytes and debug.ini.

#include "schedule/ScheduleFrame.h"

#include <QTest>

using namespace platine;

namespace {

// A filled editor whose twelve time bytes are all different, so that a byte put at the wrong
// offset shows.
ScheduleValues filledEditor()
{
    ScheduleValues v;
    const char *texts[] = {"08:30:00", "12:05", "13:45:59", "17:00:00", "20:10:00", "23:59:00",
                           "45"};
    for (int i = 0; i < kScheduleTextCount; ++i)
        v.text2[i] = QString::fromLatin1(texts[i]);
    v.comboIndex = 3; // "Mercredi"
    return v;
}

} // namespace

class TestScheduleFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frameOffsets_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("expected");
        QTest::newRow("0 command letter") << 0 << 0x42;
        QTest::newRow("1 window 1 start hour") << 1 << 0x08;
        QTest::newRow("2 window 1 start minute") << 2 << 0x30;
        QTest::newRow("3 window 1 end hour") << 3 << 0x12;
        QTest::newRow("4 window 1 end minute") << 4 << 0x05;
        QTest::newRow("5 window 2 start hour") << 5 << 0x13;
        QTest::newRow("6 window 2 start minute") << 6 << 0x45;
        QTest::newRow("7 window 2 end hour") << 7 << 0x17;
        QTest::newRow("8 window 2 end minute") << 8 << 0x00;
        QTest::newRow("9 window 3 start hour") << 9 << 0x20;
        QTest::newRow("10 window 3 start minute") << 10 << 0x10;
        QTest::newRow("11 window 3 end hour") << 11 << 0x23;
        QTest::newRow("12 window 3 end minute") << 12 << 0x59;
        QTest::newRow("13 day code") << 13 << 4;
        QTest::newRow("14 period") << 14 << 45;
        for (int offset = 15; offset < kScheduleFrameSize; ++offset)
            QTest::addRow("%d zero", offset) << offset << 0;
    }
    void frameOffsets()
    {
        QFETCH(int, offset);
        QFETCH(int, expected);
        const std::optional<QByteArray> body = scheduleBody(filledEditor());
        QVERIFY(body);
        QCOMPARE(body->size(), kScheduleBodySize);
        const QByteArray frame = scheduleFrame(*body);
        QCOMPARE(frame.size(), kScheduleFrameSize);
        QCOMPARE(static_cast<unsigned char>(frame.at(offset)), expected);
    }

    void periodCorrection_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("corrected");
        QTest::addColumn<int>("seconds");
        // The plain steps.
        QTest::newRow("empty") << "" << "02" << 2;
        QTest::newRow("zero") << "0" << "02" << 2;
        QTest::newRow("double zero") << "00" << "02" << 2;
        QTest::newRow("letters") << "abc" << "02" << 2;
        QTest::newRow("one digit padded") << "5" << "05" << 5;
        QTest::newRow("one padded then too small") << "1" << "02" << 2;
        QTest::newRow("two stays") << "2" << "02" << 2;
        QTest::newRow("negative") << "-7" << "02" << 2;
        QTest::newRow("too large") << "250" << "120" << 120;
        QTest::newRow("just too large") << "121" << "120" << 120;
        QTest::newRow("largest") << "120" << "120" << 120;
        QTest::newRow("ordinary") << "45" << "45" << 45;
        QTest::newRow("leading zero kept") << "045" << "045" << 45;
        QTest::newRow("huge") << "99999999999999999999999" << "120" << 120;
        // Numbers written otherwise: repaired into plain digits.
        QTest::newRow("trailing letter") << "5a" << "05" << 5;
        QTest::newRow("leading blank") << " 45" << "45" << 45;
        QTest::newRow("trailing blank") << "9 " << "09" << 9;
        QTest::newRow("plus sign") << "+50" << "50" << 50;
        QTest::newRow("exponent") << "1e2" << "100" << 100;
        QTest::newRow("exponent too large") << "1e9" << "120" << 120;
        QTest::newRow("decimal point") << "4.5" << "04" << 4;
        QTest::newRow("decimal comma") << "4,5" << "04" << 4;
        QTest::newRow("fraction below two") << "1.5" << "02" << 2;
        QTest::newRow("fraction above largest") << "120.9" << "120" << 120;
        QTest::newRow("fraction below largest") << "119.9" << "119" << 119;
        QTest::newRow("negative fraction") << "-0.5" << "02" << 2;
        QTest::newRow("blank only") << " " << "02" << 2;
    }
    void periodCorrection()
    {
        QFETCH(QString, typed);
        QFETCH(QString, corrected);
        QFETCH(int, seconds);
        const QString result = correctPeriod(typed);
        QCOMPARE(result, corrected);
        QCOMPARE(periodSeconds(result), std::optional<int>(seconds));
        // Correcting twice changes nothing more.
        QCOMPARE(correctPeriod(result), result);

        ScheduleValues v = filledEditor();
        v.text2[kPeriodBox] = result;
        const std::optional<QByteArray> body = scheduleBody(v);
        QVERIFY(body);
        QCOMPARE(static_cast<unsigned char>(body->at(13)), seconds);
    }

    void uncorrectedPeriodBuildsNothing_data()
    {
        QTest::addColumn<QString>("period");
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "5a";
        QTest::newRow("too small") << "1";
        QTest::newRow("too large") << "121";
    }
    void uncorrectedPeriodBuildsNothing()
    {
        QFETCH(QString, period);
        ScheduleValues v = filledEditor();
        v.text2[kPeriodBox] = period;
        QVERIFY(!scheduleBody(v));
    }

    void timeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("usable");
        QTest::newRow("hh:mm") << "08:30" << true;
        QTest::newRow("hh:mm:ss") << "08:30:00" << true;
        QTest::newRow("third character ignored") << "08h30" << true;
        QTest::newRow("tail ignored") << "08:30 le matin" << true;
        QTest::newRow("not range-checked") << "99:99" << true;
        QTest::newRow("one hour digit") << "8:30" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("letters") << "ab:cd" << false;
        QTest::newRow("one minute digit") << "08:3" << false;
        QTest::newRow("minute letter") << "08:3x" << false;
        QTest::newRow("blank hour") << " 8:30" << false;
        QTest::newRow("other digits") << QStringLiteral("٠٨:٣٠") << false;
    }
    void timeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, usable);
        QCOMPARE(isValidTimeText(text), usable);
        for (int box = 0; box < kScheduleTimeCount; ++box) {
            ScheduleValues v = filledEditor();
            v.text2[box] = text;
            QCOMPARE(firstInvalidTimeBox(v), usable ? -1 : box);
            QCOMPARE(scheduleBody(v).has_value(), usable);
        }
    }

    void firstInvalidBoxIsTheTopmost()
    {
        ScheduleValues v = filledEditor();
        v.text2[4] = QStringLiteral("x");
        v.text2[2] = QStringLiteral("8:30");
        QCOMPARE(firstInvalidTimeBox(v), 2);
    }

    void invalidTimeMessageNamesTheBox_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("edge");
        QTest::newRow("0") << 0 << QStringLiteral("fenêtre 1") << QStringLiteral("« Début »");
        QTest::newRow("1") << 1 << QStringLiteral("fenêtre 1") << QStringLiteral("« Fin »");
        QTest::newRow("2") << 2 << QStringLiteral("fenêtre 2") << QStringLiteral("« Début »");
        QTest::newRow("5") << 5 << QStringLiteral("fenêtre 3") << QStringLiteral("« Fin »");
    }
    void invalidTimeMessageNamesTheBox()
    {
        QFETCH(int, box);
        QFETCH(QString, window);
        QFETCH(QString, edge);
        const QString message = invalidTimeMessage(box, QStringLiteral("8:30"));
        QVERIFY2(message.contains(window + QStringLiteral(", ") + edge), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("8:30")));
    }

    void secondsDoNotMatter()
    {
        ScheduleValues a = filledEditor(), b = filledEditor();
        a.text2[0] = QStringLiteral("07:05");
        b.text2[0] = QStringLiteral("07:05:59");
        QCOMPARE(scheduleBody(a), scheduleBody(b));
        QCOMPARE(scheduleBody(a)->left(2), QByteArray("\x07\x05", 2));
    }

    void outOfRangeTimesSentAsTheyAre()
    {
        ScheduleValues v = filledEditor();
        v.text2[0] = QStringLiteral("99:99");
        v.text2[1] = QStringLiteral("25:61");
        const QByteArray body = *scheduleBody(v);
        QCOMPARE(body.left(4), QByteArray("\x99\x99\x25\x61"));
    }

    void dayCodes_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("entry");
        const QStringList entries = {
            QStringLiteral("Dimanche"), QStringLiteral("Lundi"), QStringLiteral("Mardi"),
            QStringLiteral("Mercredi"), QStringLiteral("Jeudi"), QStringLiteral("Vendredi"),
            QStringLiteral("Samedi"), QStringLiteral("Samedi et Dimanche"),
            QStringLiteral("Lundi à Vendredi"), QStringLiteral("Tous les jours")};
        for (int i = 0; i < entries.size(); ++i)
            QTest::addRow("%d", i) << i << i + 1 << entries.at(i);
        QTest::newRow("typed text") << -1 << 0 << QString();
    }
    void dayCodes()
    {
        QFETCH(int, position);
        QFETCH(int, code);
        QFETCH(QString, entry);
        QCOMPARE(dayCode(position), code);
        if (position >= 0)
            QCOMPARE(dayListEntries().at(position), entry);
        ScheduleValues v = filledEditor();
        v.comboIndex = position;
        QCOMPARE(static_cast<int>(scheduleBody(v)->at(12)), code);
    }

    void dayListHasTenEntries()
    {
        QCOMPARE(dayListEntries().size(), kDayEntryCount);
    }

    void debugIniBytes()
    {
        const QByteArray expected = " 0 :8\r\n 1 :48\r\n 2 :18\r\n 3 :5\r\n 4 :19\r\n 5 :69\r\n"
                                    " 6 :23\r\n 7 :0\r\n 8 :32\r\n 9 :16\r\n 10 :35\r\n 11 :89\r\n"
                                    " 12 :4\r\n 13 :45\r\n 14 :0\r\n";
        QCOMPARE(debugIniContents(*scheduleBody(filledEditor())), expected);
    }

    void debugIniShowsLargeBytesUnsigned()
    {
        ScheduleValues v = filledEditor();
        v.text2[0] = QStringLiteral("99:99");
        const QByteArray dump = debugIniContents(*scheduleBody(v));
        QVERIFY(dump.startsWith(" 0 :153\r\n 1 :153\r\n"));
        QCOMPARE(dump.count("\r\n"), 15);
    }

    void heurePc_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        // 2024-01-07 was a Sunday.
        QTest::newRow("wednesday afternoon")
            << QDateTime(QDate(2024, 1, 10), QTime(14, 37, 52)) << "14:37:00" << 3;
        QTest::newRow("sunday midnight")
            << QDateTime(QDate(2024, 1, 7), QTime(0, 0, 0)) << "00:00:00" << 0;
        QTest::newRow("saturday evening")
            << QDateTime(QDate(2024, 1, 13), QTime(23, 59, 59)) << "23:59:00" << 6;
        QTest::newRow("monday morning")
            << QDateTime(QDate(2024, 1, 8), QTime(7, 5, 1)) << "07:05:00" << 1;
    }
    void heurePc()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, text);
        QFETCH(int, position);
        QCOMPARE(heurePcTimeText(now.time()), text);
        QCOMPARE(weekdayPosition(now.date()), position);
    }
};

QTEST_GUILESS_MAIN(TestScheduleFrame)
#include "tst_scheduleframe.moc"
