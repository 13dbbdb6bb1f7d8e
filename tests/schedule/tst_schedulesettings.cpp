// Schedule settings files: exact bytes written, update in place, reading rules, the "cmb0" rule.

#include "schedule/ScheduleSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace platine;

namespace {

ScheduleValues sampleValues()
{
    ScheduleValues v;
    const char *texts[] = {"08:30:00", "12:00:00", "13:15:00", "17:45:00", "", "23:59:00", "120"};
    for (int i = 0; i < kScheduleTextCount; ++i)
        v.text2[i] = QString::fromLatin1(texts[i]);
    v.comboIndex = 9; // "Tous les jours"
    return v;
}

const QByteArray kSampleFile = "[txt0]\r\nvaleur=08:30:00\r\n"
                               "[txt1]\r\nvaleur=12:00:00\r\n"
                               "[txt2]\r\nvaleur=13:15:00\r\n"
                               "[txt3]\r\nvaleur=17:45:00\r\n"
                               "[txt4]\r\nvaleur=\r\n"
                               "[txt5]\r\nvaleur=23:59:00\r\n"
                               "[txt6]\r\nvaleur=120\r\n"
                               "[cmb0]\r\nvaleur=9\r\n";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestScheduleSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void freshFileBytes()
    {
        const QString file = path("fresh.txt");
        const ProfileWriteResult r = saveScheduleFile(file, sampleValues());
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(readAll(file), kSampleFile);
    }

    void noSelectionIsWrittenAsMinusOne()
    {
        ScheduleValues v = sampleValues();
        v.comboIndex = -1;
        QVERIFY(updateScheduleSettings(QByteArray(), v).endsWith("[cmb0]\r\nvaleur=-1\r\n"));
    }

    void updateInPlaceKeepsForeignLines()
    {
        const QString file = path("existing.ini");
        const QByteArray before = "; r\xe9glages de la platine\r\n"
                                  "[Port COM]\r\nvaleur=3\r\n"
                                  "[TXT1]\r\nValeur = ancien \r\nautre=x\r\n"
                                  "\r\n"
                                  "[Divers]\r\nnote=garder ; pas un commentaire\r\n"
                                  "[cmb0]\r\nvaleur=2\r\n";
        QVERIFY(writeAll(file, before));
        QVERIFY(saveScheduleFile(file, sampleValues()).ok);
        const QByteArray expected = "; r\xe9glages de la platine\r\n"
                                    "[Port COM]\r\nvaleur=3\r\n"
                                    "[TXT1]\r\nValeur =12:00:00\r\nautre=x\r\n"
                                    "\r\n"
                                    "[Divers]\r\nnote=garder ; pas un commentaire\r\n"
                                    "[cmb0]\r\nvaleur=9\r\n"
                                    "[txt0]\r\nvaleur=08:30:00\r\n"
                                    "[txt2]\r\nvaleur=13:15:00\r\n"
                                    "[txt3]\r\nvaleur=17:45:00\r\n"
                                    "[txt4]\r\nvaleur=\r\n"
                                    "[txt5]\r\nvaleur=23:59:00\r\n"
                                    "[txt6]\r\nvaleur=120\r\n";
        QCOMPARE(readAll(file), expected);

        // Written a second time, nothing moves.
        QVERIFY(saveScheduleFile(file, sampleValues()).ok);
        QCOMPARE(readAll(file), expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("time") << "08:30:00" << "08:30:00";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("nineteen") << "abcdefghijklmnopqrs" << "abcdefghijklmnopqrs";
        QTest::newRow("twenty-six cut") << "abcdefghijklmnopqrstuvwxyz" << "abcdefghijklmnopqrs";
        QTest::newRow("accented") << QStringLiteral("été") << QStringLiteral("été");
        QTest::newRow("blanks around dropped") << "  12:00  " << "12:00";
        QTest::newRow("line break cannot add a line") << "12:00\r\n[cmb0]" << "12:00  [cmb0]";
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, readBack);
        for (int box = 0; box < kScheduleTextCount; ++box) {
            const QString file = path("roundtrip.txt");
            QFile::remove(file);
            ScheduleValues v = sampleValues();
            v.comboIndex = 4;
            v.text2[box] = text;
            QVERIFY(saveScheduleFile(file, v).ok);
            QString error;
            const std::optional<StoredSchedule> stored = loadScheduleFile(file, &error);
            QVERIFY2(stored, qPrintable(error));
            for (int i = 0; i < kScheduleTextCount; ++i)
                QCOMPARE(stored->text2[i], i == box ? readBack : sampleValues().text2[i]);
            QCOMPARE(stored->comboIndex, std::optional<int>(4));
        }
    }

    void blanksAroundStoredValue()
    {
        const StoredSchedule s = parseScheduleSettings("[txt6]\r\nvaleur= 05 \r\n");
        QCOMPARE(s.text2[kPeriodBox], QStringLiteral("05"));
    }

    void comboRule_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("position"); // -2: the list is left alone
        QTest::newRow("minus one clears") << "-1" << -1;
        QTest::newRow("letters select the first") << "abc" << 0;
        QTest::newRow("empty selects the first") << "" << 0;
        QTest::newRow("first") << "0" << 0;
        QTest::newRow("last") << "9" << 9;
        QTest::newRow("blanks") << " 7 " << 7;
        QTest::newRow("beyond the list") << "12" << -2;
        QTest::newRow("just beyond") << "10" << -2;
        QTest::newRow("below minus one") << "-2" << -2;
        QTest::newRow("half down to even") << "2.5" << 2;
        QTest::newRow("half up to even") << "3.5" << 4;
        QTest::newRow("eight and a half") << "8.5" << 8;
        QTest::newRow("nine and a half is ten") << "9.5" << -2;
        QTest::newRow("minus one and a half is minus two") << "-1.5" << -2;
        QTest::newRow("minus a half is zero") << "-0.5" << 0;
        QTest::newRow("leading number") << "3 jours" << 3;
        QTest::newRow("exponent") << "5e-1" << 0;
        QTest::newRow("huge") << "1e400" << -2;
    }
    void comboRule()
    {
        QFETCH(QString, stored);
        QFETCH(int, position);
        const std::optional<int> expected =
            position == -2 ? std::nullopt : std::optional<int>(position);
        QCOMPARE(storedComboPosition(stored), expected);
        const QByteArray file = "[cmb0]\r\nvaleur=" + stored.toLatin1() + "\r\n";
        QCOMPARE(parseScheduleSettings(file).comboIndex, expected);
    }

    void fileWithoutTheSections_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("acquisition file")
            << QByteArray("Periode (s) : 10\r\n12/03/2024\r\n21.5;1.2;0;0;4.9;1;0;0;1;\r\n");
        QTest::newRow("port only") << QByteArray("[Port COM]\r\nvaleur=4\r\n");
        QTest::newRow("empty") << QByteArray();
    }
    void fileWithoutTheSections()
    {
        QFETCH(QByteArray, contents);
        const QString file = path("other.txt");
        QVERIFY(writeAll(file, contents));
        QString error;
        const std::optional<StoredSchedule> s = loadScheduleFile(file, &error);
        QVERIFY(s);
        for (const QString &t : s->text2)
            QVERIFY(t.isEmpty());
        QCOMPARE(s->comboIndex, std::optional<int>(0));
    }

    void missingFileReadsEmpty()
    {
        QString error;
        const std::optional<StoredSchedule> s = loadScheduleFile(path("absent.txt"), &error);
        QVERIFY(s);
        QVERIFY(s->text2[0].isEmpty());
        QCOMPARE(s->comboIndex, std::optional<int>(0));
    }

    void unreadableFileIsAnError()
    {
        QString error;
        QVERIFY(!loadScheduleFile(m_dir.path(), &error));
        QVERIFY(!error.isEmpty());

        if (::geteuid() == 0)
            QSKIP("root reads every file");
        const QString file = path("secret.txt");
        QVERIFY(writeAll(file, kSampleFile));
        QVERIFY(QFile::setPermissions(file, QFileDevice::WriteOwner));
        error.clear();
        QVERIFY(!loadScheduleFile(file, &error));
        QVERIFY(!error.isEmpty());
    }

    void readOnlyFileIsLeftAlone()
    {
        if (::geteuid() == 0)
            QSKIP("root writes every file");
        const QString file = path("readonly.txt");
        const QByteArray before = "[txt0]\r\nvaleur=01:00\r\n";
        QVERIFY(writeAll(file, before));
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner));
        const ProfileWriteResult r = saveScheduleFile(file, sampleValues());
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(file), qPrintable(r.error));
        QCOMPARE(readAll(file), before);
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void missingDirectoryIsAnError()
    {
        const QString file = path("no/such/dir/x.txt");
        const ProfileWriteResult r = saveScheduleFile(file, sampleValues());
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains(file));
        QVERIFY(!QFile::exists(file));
    }

    void debugIniReplacesEarlierContent()
    {
        const QString file = path("debug.ini");
        QVERIFY(writeAll(file, QByteArray(5000, 'x')));
        QByteArray body(kScheduleBodySize, '\0');
        body[0] = 0x08;
        body[1] = 0x30;
        QVERIFY(writeDebugIni(file, body).ok);
        QByteArray expected = " 0 :8\r\n 1 :48\r\n";
        for (int k = 2; k < 15; ++k)
            expected += ' ' + QByteArray::number(k) + " :0\r\n";
        QCOMPARE(readAll(file), expected);
    }
};

QTEST_GUILESS_MAIN(TestScheduleSettings)
#include "tst_schedulesettings.moc"
