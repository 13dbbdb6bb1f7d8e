#include "board/BoardLink.h"

#include "FakeSerialPort.h"

#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platine;
using test::FakeSerialPort;

class TestBoardLink : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_ini;
    FakeSerialPort *m_fake = nullptr;
    std::unique_ptr<BoardLink> m_link;

    void makeLink()
    {
        auto fake = std::make_unique<FakeSerialPort>();
        m_fake = fake.get();
        m_link = std::make_unique<BoardLink>(std::move(fake), m_ini);
    }
    void writeIni(const QByteArray &bytes)
    {
        QFile f(m_ini);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray iniBytes() const
    {
        QFile f(m_ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

private Q_SLOTS:
    void init()
    {
        m_ini = m_dir.filePath(QStringLiteral("param.ini"));
        QFile::remove(m_ini);
        makeLink();
    }
    void cleanup()
    {
        m_link.reset();
        QLocale::setDefault(QLocale::c());
    }

    void initialState()
    {
        QCOMPARE(m_link->commPort(), 1);
        QVERIFY(!m_link->isOpen());
        QCOMPARE(m_link->port()->objectName(), QStringLiteral("Comm1"));
        QTimer *t = m_link->autoCloseTimer();
        QVERIFY(t);
        QCOMPARE(t->objectName(), QStringLiteral("Timer3"));
        QCOMPARE(t->parent(), m_link.get());
        QCOMPARE(m_link->findChild<QTimer *>(QStringLiteral("Timer3")), t);
        QCOMPARE(t->interval(), 4500);
        QVERIFY(!t->isActive());
        QVERIFY(m_fake->calls.isEmpty()); // nothing touches the port at start
    }

    void loadPortSetting_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("port");
        QTest::newRow("no file") << QByteArray() << 1;
        QTest::newRow("no section") << QByteArray("[txt0]\r\nvaleur=3\r\n") << 1;
        QTest::newRow("no key") << QByteArray("[Port COM]\r\nautre=3\r\n") << 1;
        QTest::newRow("3") << QByteArray("[Port COM]\r\nvaleur=3\r\n") << 3;
        QTest::newRow("4 then text") << QByteArray("[Port COM]\r\nvaleur=4 et la suite\r\n") << 4;
        QTest::newRow("blanks") << QByteArray("[port com]\r\nVALEUR=  12 \r\n") << 12;
        QTest::newRow("blanks inside digits") << QByteArray("[Port COM]\r\nvaleur=1 2\r\n") << 12;
        QTest::newRow("zero keeps 1") << QByteArray("[Port COM]\r\nvaleur=0\r\n") << 1;
        QTest::newRow("empty keeps 1") << QByteArray("[Port COM]\r\nvaleur=\r\n") << 1;
        QTest::newRow("text keeps 1") << QByteArray("[Port COM]\r\nvaleur=abc\r\n") << 1;
        QTest::newRow("negative keeps 1") << QByteArray("[Port COM]\r\nvaleur=-5\r\n") << 1;
        QTest::newRow("beyond 16 bits keeps 1") << QByteArray("[Port COM]\r\nvaleur=40000\r\n") << 1;
        QTest::newRow("largest") << QByteArray("[Port COM]\r\nvaleur=32767\r\n") << 32767;
        QTest::newRow("half to even down") << QByteArray("[Port COM]\r\nvaleur=2.5\r\n") << 2;
        QTest::newRow("half to even up") << QByteArray("[Port COM]\r\nvaleur=3.5\r\n") << 4;
        QTest::newRow("fraction") << QByteArray("[Port COM]\r\nvaleur=6.7\r\n") << 7;
        QTest::newRow("cut to 19 characters")
            << QByteArray("[Port COM]\r\nvaleur=0000000000000000000005\r\n") << 1;
        QTest::newRow("19 characters") << QByteArray("[Port COM]\r\nvaleur=0000000000000000005\r\n")
                                       << 5;
        QTest::newRow("first section wins")
            << QByteArray("[Port COM]\r\nvaleur=8\r\n[Port COM]\r\nvaleur=9\r\n") << 8;
    }

    void loadPortSetting()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, port);
        if (!ini.isEmpty())
            writeIni(ini);
        m_link->loadPortSetting();
        QCOMPARE(m_link->commPort(), port);
        QVERIFY(!m_link->isOpen());
        QVERIFY(m_fake->calls.isEmpty());
    }

    void unusableSettingKeepsCurrentNumber()
    {
        QString error;
        QVERIFY(m_link->changePortNumber(QStringLiteral("5"), &error));
        writeIni("[Port COM]\r\nvaleur=0\r\n");
        m_link->loadPortSetting();
        QCOMPARE(m_link->commPort(), 5);
    }

    void changePortNumber_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("port"); // 0: refused
        QTest::newRow("3") << "3" << 3;
        QTest::newRow("surrounding blanks") << " \t7 " << 7;
        QTest::newRow("plus sign") << "+4" << 4;
        QTest::newRow("fraction rounds") << "2.6" << 3;
        QTest::newRow("half to even") << "2.5" << 2;
        QTest::newRow("trailing point") << "9." << 9;
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("too large") << "32768" << 0;
        QTest::newRow("huge") << "99999999999999999999999" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("rounds to zero") << "0.4" << 0;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("number then letters") << "3x" << 0;
        QTest::newRow("COM prefix") << "COM3" << 0;
        QTest::newRow("exponent") << "1e1" << 0;
        QTest::newRow("hexadecimal") << "&H3" << 0;
        QTest::newRow("blank inside") << "1 2" << 0;
        QTest::newRow("blanks only") << "   " << 0;
        QTest::newRow("point only") << "." << 0;
        QTest::newRow("two points") << "1.2.3" << 0;
        QTest::newRow("comma in C locale") << "3,5" << 0;
        QTest::newRow("line break") << "3\n[x]" << 0;
    }

    void changePortNumber()
    {
        QFETCH(QString, answer);
        QFETCH(int, port);
        writeIni("[txt0]\r\nvaleur=08:00\r\n");
        QString error = QStringLiteral("stale");
        const bool changed = m_link->changePortNumber(answer, &error);
        QCOMPARE(changed, port != 0);
        QVERIFY(m_fake->calls.isEmpty()); // neither opened nor closed
        if (port) {
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(m_link->commPort(), port);
            QCOMPARE(iniBytes(), "[txt0]\r\nvaleur=08:00\r\n[Port COM]\r\nvaleur=" + answer.toLatin1()
                                     + "\r\n");
            // The next start reads the same number back.
            makeLink();
            m_link->loadPortSetting();
            QCOMPARE(m_link->commPort(), port);
        } else {
            QVERIFY(!error.isEmpty());
            QCOMPARE(m_link->commPort(), 1);
            QCOMPARE(iniBytes(), QByteArray("[txt0]\r\nvaleur=08:00\r\n"));
        }
    }

    void localeDecimalSeparator()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QString error;
        QVERIFY(m_link->changePortNumber(QStringLiteral("3,6"), &error));
        QCOMPARE(m_link->commPort(), 4);
        QVERIFY(m_link->changePortNumber(QStringLiteral("5.2"), &error));
        QCOMPARE(m_link->commPort(), 5);
    }

    void emptyAnswerChangesNothing()
    {
        QString error = QStringLiteral("stale");
        QVERIFY(!m_link->changePortNumber(QString(), &error));
        QVERIFY(error.isEmpty());
        QVERIFY(!m_link->changePortNumber(QStringLiteral(""), nullptr));
        QCOMPARE(m_link->commPort(), 1);
        QVERIFY(!QFile::exists(m_ini));
    }

    void changeRefusedWhileOpen()
    {
        QString error;
        QVERIFY(m_link->openPort(&error));
        QVERIFY(!m_link->changePortNumber(QStringLiteral("4"), &error));
        QVERIFY(error.contains(QStringLiteral("COM1")));
        QCOMPARE(m_link->commPort(), 1);
        QVERIFY(!QFile::exists(m_ini));
        QVERIFY(m_link->isOpen());
    }

    void changeWithUnwritableSettings()
    {
        auto fake = std::make_unique<FakeSerialPort>();
        BoardLink link(std::move(fake), m_dir.filePath(QStringLiteral("missing/param.ini")));
        QString error;
        QVERIFY(link.changePortNumber(QStringLiteral("6"), &error));
        QCOMPARE(link.commPort(), 6);
        QVERIFY(!error.isEmpty());
    }

    void openAndClose()
    {
        writeIni("[Ports]\r\nCOM1=/dev/fake0\r\n");
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QString error;
        QVERIFY(m_link->openPort(&error));
        QVERIFY(m_link->isOpen());
        QCOMPARE(m_fake->device, QStringLiteral("/dev/fake0"));
        QVERIFY(m_link->openPort(&error)); // already open: nothing more is asked of the port
        QCOMPARE(m_fake->calls, QStringList{QStringLiteral("open:/dev/fake0")});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), true);

        m_link->closePort();
        QVERIFY(!m_link->isOpen());
        m_link->closePort(); // already closed
        QCOMPARE(m_fake->calls.mid(1), (QStringList{QStringLiteral("flush"), QStringLiteral("close")}));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(0).toBool(), false);
        QVERIFY(!m_link->autoCloseTimer()->isActive());
    }

    void failedOpenNamesPortDeviceAndReason()
    {
        QString error;
        QVERIFY(m_link->changePortNumber(QStringLiteral("3"), &error));
        m_fake->openFails = true;
        m_fake->openError = QStringLiteral("Permission denied");
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QVERIFY(!m_link->openPort(&error));
        QVERIFY(error.contains(QStringLiteral("COM3")));
        QVERIFY(error.contains(QStringLiteral("/dev/ttyS2")));
        QVERIFY(error.contains(QStringLiteral("Permission denied")));
        QVERIFY(!m_link->isOpen());
        QCOMPARE(changed.size(), 0);
    }

    void portWithoutDevice()
    {
        QString error;
        QVERIFY(m_link->changePortNumber(QStringLiteral("500"), &error));
        QVERIFY(!m_link->openPort(&error));
        QVERIFY(error.contains(QStringLiteral("COM500")));
        QVERIFY(m_fake->calls.isEmpty());
    }

    void sendOpensWritesAndArmsTimer()
    {
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        const QByteArray msg("A\x14\x07\x35\x28\x02\x07\x04", 8);
        QString error;
        QVERIFY2(m_link->sendToBoard(msg, &error), qPrintable(error)); // DTR refused: still sent
        QVERIFY(m_link->isOpen());
        QCOMPARE(m_fake->calls, (QStringList{QStringLiteral("open:/dev/ttyS0"),
                                             QStringLiteral("dtr:0"), QStringLiteral("write:8")}));
        QCOMPARE(m_fake->pending, msg);
        QVERIFY(m_link->autoCloseTimer()->isActive());
        QVERIFY(m_link->autoCloseTimer()->remainingTime() > 4000);
        QCOMPARE(changed.size(), 1);
    }

    void sendOnOpenPortDoesNotReopen()
    {
        QString error;
        QVERIFY(m_link->openPort(&error));
        m_fake->calls.clear();
        QVERIFY(m_link->sendToBoard("B", &error));
        QCOMPARE(m_fake->calls, (QStringList{QStringLiteral("dtr:0"), QStringLiteral("write:1")}));
    }

    void sendWithUnopenablePort()
    {
        m_fake->openFails = true;
        QString error;
        QVERIFY(!m_link->sendToBoard("A1234567", &error));
        QVERIFY(error.contains(QStringLiteral("COM1")));
        QCOMPARE(m_fake->calls, QStringList{QStringLiteral("open:/dev/ttyS0")});
        QVERIFY(m_fake->pending.isEmpty() && m_fake->sent.isEmpty());
        QVERIFY(!m_link->autoCloseTimer()->isActive());
    }

    void ensureOpenThenWrite()
    {
        QString error;
        QVERIFY(m_link->ensureOpen(&error));
        QVERIFY(m_link->isOpen());
        QVERIFY(!m_link->autoCloseTimer()->isActive());
        QVERIFY(m_link->writeMessage("A", &error));
        QVERIFY(m_link->autoCloseTimer()->isActive());
    }

    void writeOnClosedPortSendsNothing()
    {
        QString error;
        QVERIFY(!m_link->writeMessage("A", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(m_fake->calls.isEmpty());
        QVERIFY(!m_link->autoCloseTimer()->isActive());
    }

    void shortWriteIsReported()
    {
        m_fake->writeLimit = 3;
        QString error;
        QVERIFY(!m_link->sendToBoard("A1234567", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(m_link->autoCloseTimer()->isActive()); // the open port still gets closed
    }

    void everyCommandRestartsCountdown()
    {
        QString error;
        QVERIFY(m_link->sendToBoard("A", &error));
        QTest::qWait(400);
        const int before = m_link->autoCloseTimer()->remainingTime();
        QVERIFY(before <= 4150);
        QVERIFY(m_link->sendToBoard("B", &error));
        const int after = m_link->autoCloseTimer()->remainingTime();
        QVERIFY2(after >= 4400 && after - before >= 300,
                 qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
    }

    void autoCloseFlushesThenCloses()
    {
        m_link->autoCloseTimer()->setInterval(30);
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QString error;
        const QByteArray frame(125, 'B');
        QVERIFY(m_link->sendToBoard(frame, &error));
        QVERIFY(QTest::qWaitFor([&] { return !m_link->isOpen(); }, 2000));
        QCOMPARE(m_fake->sent, frame);
        QVERIFY(m_fake->lostOnClose.isEmpty());
        QVERIFY(!m_link->autoCloseTimer()->isActive());
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(0).toBool(), false);
    }

    void autoCloseAlsoClosesAHandOpenedPort()
    {
        m_link->autoCloseTimer()->setInterval(30);
        QString error;
        QVERIFY(m_link->openPort(&error));
        QVERIFY(m_link->sendToBoard("A", &error));
        QVERIFY(QTest::qWaitFor([&] { return !m_link->isOpen(); }, 2000));
    }

    void autoCloseOnClosedPort()
    {
        m_link->autoCloseTimer()->setInterval(30);
        QString error;
        QVERIFY(m_link->sendToBoard("A", &error));
        m_link->closePort();
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        m_fake->calls.clear();
        QVERIFY(QTest::qWaitFor([&] { return !m_link->autoCloseTimer()->isActive(); }, 2000));
        QVERIFY(!m_link->isOpen());
        QVERIFY(m_fake->calls.isEmpty());
        QCOMPARE(changed.size(), 0);
    }

    void repliesReplaceEachOther()
    {
        QString error;
        QVERIFY(m_link->openPort(&error));
        QSignalSpy replies(m_link.get(), &BoardLink::replyReceived);
        m_fake->receive("12:3");
        m_fake->receive("4:56");
        m_fake->receive(QByteArray("\xe9\x80\x00z", 4));
        QCOMPARE(replies.size(), 3);
        QCOMPARE(replies.at(0).at(0).toString(), QStringLiteral("12:3"));
        QCOMPARE(replies.at(1).at(0).toString(), QStringLiteral("4:56"));
        QCOMPARE(replies.at(2).at(0).toString(), QString::fromLatin1("\xe9\x80\x00z", 4));
    }

    void noReplyWhenClosedOrEmpty()
    {
        QSignalSpy replies(m_link.get(), &BoardLink::replyReceived);
        m_fake->receive("late");
        QString error;
        QVERIFY(m_link->openPort(&error));
        Q_EMIT m_fake->dataReceived(); // nothing waiting
        QCOMPARE(replies.size(), 0);
    }

    void lostDevice()
    {
        QString error;
        QVERIFY(m_link->sendToBoard("A", &error));
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QSignalSpy lost(m_link.get(), &BoardLink::portLost);
        m_fake->vanish(QStringLiteral("Device disappeared from the system"));
        QVERIFY(!m_link->isOpen());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), false);
        QCOMPARE(lost.size(), 1);
        const QString reason = lost.at(0).at(0).toString();
        QVERIFY(reason.contains(QStringLiteral("COM1")));
        QVERIFY(reason.contains(QStringLiteral("Device disappeared from the system")));
        // The link stays usable: the next command opens the port again.
        m_fake->calls.clear();
        QVERIFY(m_link->sendToBoard("A", &error));
        QVERIFY(m_link->isOpen());
        QCOMPARE(m_fake->calls.first(), QStringLiteral("open:/dev/ttyS0"));
        QVERIFY(m_link->changePortNumber(QStringLiteral("2"), &error) == false); // open again
    }

    void flushPendingKeepsPortOpen()
    {
        QString error;
        QVERIFY(m_link->sendToBoard("A1", &error));
        m_link->flushPending();
        QCOMPARE(m_fake->sent, QByteArray("A1"));
        QVERIFY(m_link->isOpen());
        m_link->closePort();
        m_link->flushPending(); // closed: nothing to do
        QCOMPARE(m_fake->calls.count(QStringLiteral("flush")), 2);
    }

    void destructionFlushesPendingOutput()
    {
        QString error;
        QVERIFY(m_link->sendToBoard("A7", &error));
        QStringList calls;
        QByteArray sent;
        m_fake->callsAtEnd = &calls;
        m_fake->sentAtEnd = &sent;
        m_fake->calls.clear();
        m_link.reset();
        QCOMPARE(calls, (QStringList{QStringLiteral("flush"), QStringLiteral("close")}));
        QCOMPARE(sent, QByteArray("A7"));
    }
};

QTEST_GUILESS_MAIN(TestBoardLink)
#include "tst_boardlink.moc"
