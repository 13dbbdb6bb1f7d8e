// The schedule without a window: the 125 bytes of "B", debug.ini, period correction, time boxes,
// and the schedule in profile files (update in place, "cmb0", a read-only file).

#include "schedule/ScheduleFrame.h"
#include "schedule/ScheduleSettings.h"

#include "TestUtil.h"

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace platine;
using test::fileBytes;
using test::filledEditor;

class TestSchedule : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private Q_SLOTS:
    void frameAndDebugIni()
    {
        const QByteArray body = scheduleBody(filledEditor()).value();
        QCOMPARE(scheduleFrame(body), test::kFilledFrame); // offsets 0 to 124
        QCOMPARE(debugIniContents(body), " 0 :17\r\n 1 :19\r\n 2 :153\r\n 3 :135\r\n 4 :8\r\n"
                                         " 5 :48\r\n 6 :20\r\n 7 :69\r\n 8 :32\r\n 9 :16\r\n"
                                         " 10 :35\r\n 11 :89\r\n 12 :10\r\n 13 :13\r\n 14 :0\r\n");
        // Day codes: list position + 1, 0 for a text of the user's own.
        for (const auto &[position, code] : {std::pair{0, 1}, {6, 7}, {8, 9}, {-1, 0}}) {
            ScheduleValues v = filledEditor();
            v.dayPosition = position;
            QCOMPARE(int(scheduleBody(v)->at(12)), code);
        }
    }

    void period_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("corrected");
        using QTest::newRow;
        newRow("empty") << "" << "02";
        newRow("zero") << "0" << "02";
        newRow("letters") << "abc" << "02";
        newRow("negative") << "-7" << "02";
        newRow("one digit padded") << "5" << "05";
        newRow("padded, then too small") << "1" << "02";
        newRow("too large") << "250" << "120";
        newRow("leading zero kept") << "045" << "045";
        newRow("trailing letter") << "5a" << "05";
        newRow("leading blank") << " 45" << "45";
        newRow("plus sign") << "+50" << "50";
        newRow("exponent") << "1e2" << "100";
        newRow("decimal point") << "4.5" << "04";
        newRow("decimal comma") << "4,5" << "04";
        newRow("fraction above largest") << "120.9" << "120";
        newRow("fraction below largest") << "119.9" << "119";
    }

    void period()
    {
        QFETCH(QString, typed);
        QFETCH(QString, corrected);
        QCOMPARE(correctPeriod(typed), corrected);
        QCOMPARE(correctPeriod(corrected), corrected);
        ScheduleValues v = filledEditor();
        v.boxes[kPeriodBox] = corrected;
        QCOMPARE(int(scheduleBody(v).value().at(13)), corrected.toInt());
    }

    void timeBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes"); // empty: refused
        using QTest::newRow;
        newRow("hh:mm") << "07:05" << QByteArray("\x07\x05");
        newRow("seconds ignored") << "07:05:59" << QByteArray("\x07\x05");
        newRow("third character and tail ignored") << "07h05 le matin" << QByteArray("\x07\x05");
        newRow("not range-checked") << "99:99" << QByteArray("\x99\x99");
        newRow("one hour digit") << "8:30" << QByteArray();
        newRow("empty") << "" << QByteArray();
        newRow("letters") << "hh:mm" << QByteArray();
        newRow("one minute digit") << "08:3" << QByteArray();
        newRow("minute letter") << "08:3x" << QByteArray();
        newRow("blank hour") << " 8:30" << QByteArray();
        newRow("other digits") << QStringLiteral("٠٨:٣٠") << QByteArray();
    }

    void timeBox()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        for (int box = 0; box < kScheduleTimeCount; ++box) {
            ScheduleValues v = filledEditor();
            v.boxes[box] = text;
            QCOMPARE(firstInvalidTimeBox(v), bytes.isEmpty() ? box : -1);
            QCOMPARE(scheduleBody(v).value_or(QByteArray()).mid(2 * box, 2), bytes);
            v.boxes[5] = QString(); // the topmost wrong box is named
            QCOMPARE(firstInvalidTimeBox(v), bytes.isEmpty() ? box : 5);
        }
    }

    void updateInPlaceKeepsForeignLines()
    {
        const QByteArray before = "; r\xe9glages\r\n[Port COM]\r\nvaleur=3\r\n"
                                  "[TXT1]\r\nValeur = ancien \r\nautre=x\r\n\r\n"
                                  "[Divers]\r\nnote=garder ; pas un commentaire\r\n"
                                  "[cmb0]\r\nvaleur=2\r\n";
        const QByteArray after = "; r\xe9glages\r\n[Port COM]\r\nvaleur=3\r\n"
                                 "[TXT1]\r\nValeur =99:87\r\nautre=x\r\n\r\n"
                                 "[Divers]\r\nnote=garder ; pas un commentaire\r\n"
                                 "[cmb0]\r\nvaleur=9\r\n"
                                 "[txt0]\r\nvaleur=11:13\r\n[txt2]\r\nvaleur=08:30:00\r\n"
                                 "[txt3]\r\nvaleur=14:45:59\r\n[txt4]\r\nvaleur=20:10\r\n"
                                 "[txt5]\r\nvaleur=23:59:00\r\n[txt6]\r\nvaleur=13\r\n";
        QVERIFY(test::putFile(path("existing.ini"), before));
        QVERIFY(saveScheduleFile(path("existing.ini"), filledEditor()).ok);
        QCOMPARE(fileBytes(path("existing.ini")), after);
        QVERIFY(saveScheduleFile(path("existing.ini"), filledEditor()).ok); // nothing moves
        QCOMPARE(fileBytes(path("existing.ini")), after);
    }

    void cmb0_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("position"); // -2: the list is left alone
        using QTest::newRow;
        newRow("-1 clears") << "-1" << -1;
        newRow("letters select the first") << "abc" << 0;
        newRow("empty selects the first") << "" << 0;
        newRow("last") << "9" << 9;
        newRow("blanks") << " 7 " << 7;
        newRow("leading number") << "3 jours" << 3;
        newRow("just beyond the list") << "10" << -2;
        newRow("below -1") << "-2" << -2;
        newRow("half down to even") << "2.5" << 2;
        newRow("half up to even") << "3.5" << 4;
        newRow("9.5 is 10") << "9.5" << -2;
        newRow("-1.5 is -2") << "-1.5" << -2;
        newRow("-0.5 is 0") << "-0.5" << 0;
        newRow("huge") << "1e400" << -2;
    }

    void cmb0()
    {
        QFETCH(QString, stored);
        QFETCH(int, position);
        const auto expected = position == -2 ? std::nullopt : std::optional<int>(position);
        QCOMPARE(
            parseScheduleSettings("[cmb0]\r\nvaleur=" + stored.toLatin1() + "\r\n").dayPosition,
            expected);
        if (position == -1) // no selection is written back as -1
            QVERIFY(updateScheduleSettings({}, {{}, -1}).endsWith("[cmb0]\r\nvaleur=-1\r\n"));
    }

    void readOnlyFileLeftAlone()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser writes every file");
        const QByteArray before = "[txt0]\r\nvaleur=01:00\r\n";
        QVERIFY(test::putFile(path("readonly.txt"), before));
        QVERIFY(QFile::setPermissions(path("readonly.txt"), QFileDevice::ReadOwner));
        const ProfileWriteResult r = saveScheduleFile(path("readonly.txt"), filledEditor());
        QVERIFY(!r.ok && r.error.contains(path("readonly.txt")));
        QCOMPARE(fileBytes(path("readonly.txt")), before);
    }
};

QTEST_GUILESS_MAIN(TestSchedule)
#include "tst_schedule.moc"
