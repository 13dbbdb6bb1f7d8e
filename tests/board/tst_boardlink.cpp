#include "board/BoardLink.h"

#include "FakeSerialPort.h"
#include "TestUtil.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platine;
using test::FakeSerialPort;
using test::firstArgs;

class TestBoardLink : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_ini;
    FakeSerialPort *m_fake = nullptr;
    std::unique_ptr<BoardLink> m_link;
    QString m_error;

    void makeLink()
    {
        auto fake = std::make_unique<FakeSerialPort>();
        m_fake = fake.get();
        m_link = std::make_unique<BoardLink>(std::move(fake), m_ini);
    }
    QTimer *timer3() const { return m_link->autoCloseTimer(); }

private Q_SLOTS:
    void init()
    {
        m_ini = m_dir.filePath(QStringLiteral("param.ini"));
        QFile::remove(m_ini);
        makeLink();
        m_error.clear();
    }
    void cleanup()
    {
        m_link.reset();
        QLocale::setDefault(QLocale::c());
    }

    void loadPortSetting_data()
    {
        QTest::addColumn<QByteArray>("valeur"); // "-": no setting at all
        QTest::addColumn<int>("port");
        using QTest::newRow;
        newRow("no file") << QByteArray("-") << 1;
        newRow("3") << QByteArray("3") << 3;
        newRow("4 followed by a blank and text") << QByteArray("4 et la suite") << 4;
        newRow("blanks") << QByteArray("  12 ") << 12;
        newRow("blanks inside digits") << QByteArray("1 2") << 12;
        newRow("zero keeps 1") << QByteArray("0") << 1;
        newRow("text keeps 1") << QByteArray("abc") << 1;
        newRow("negative keeps 1") << QByteArray("-5") << 1;
        newRow("beyond 16 bits keeps 1") << QByteArray("40000") << 1;
        newRow("largest") << QByteArray("32767") << 32767;
        newRow("half to even down") << QByteArray("2.5") << 2;
        newRow("half to even up") << QByteArray("3.5") << 4;
        newRow("cut to 19 characters") << QByteArray("0000000000000000000005") << 1;
        newRow("19 characters") << QByteArray("0000000000000000005") << 5;
    }

    void loadPortSetting()
    {
        QFETCH(QByteArray, valeur);
        QFETCH(int, port);
        QVERIFY(valeur == "-" || test::putFile(m_ini, "[port com]\r\nVALEUR=" + valeur + "\r\n"));
        m_link->loadPortSetting();
        QCOMPARE(m_link->portNumber(), port);
        // An unusable setting keeps the current number.
        QVERIFY(test::putFile(m_ini, "[Port COM]\r\nvaleur=0\r\n"));
        m_link->loadPortSetting();
        QCOMPARE(m_link->portNumber(), port);
        QVERIFY(m_fake->calls.isEmpty()); // the port is not touched
    }

    void changePortNumber_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("port"); // 0: refused with a reason, -1: no change and no reason
        using QTest::newRow;
        newRow("3") << "3" << 3;
        newRow("surrounding blanks") << " \t7 " << 7;
        newRow("plus sign") << "+4" << 4;
        newRow("fraction rounds") << "2.6" << 3;
        newRow("half to even") << "2.5" << 2;
        newRow("largest") << "32767" << 32767;
        newRow("empty") << "" << -1;
        newRow("too large") << "32768" << 0;
        newRow("zero") << "0" << 0;
        newRow("rounds to zero") << "0.4" << 0;
        newRow("negative") << "-1" << 0;
        newRow("letters") << "abc" << 0;
        newRow("exponent") << "1e1" << 0;
        newRow("hexadecimal") << "&H3" << 0;
        newRow("blank inside") << "1 2" << 0;
        newRow("comma in C locale") << "3,5" << 0;
        newRow("line break") << "3\n[x]" << 0;
    }

    void changePortNumber()
    {
        QFETCH(QString, answer);
        QFETCH(int, port);
        const QByteArray before = "[txt0]\r\nvaleur=08:00\r\n";
        QVERIFY(test::putFile(m_ini, before));
        QCOMPARE(m_link->changePortNumber(answer, &m_error), port > 0);
        QCOMPARE(m_error.isEmpty(), port != 0);
        QVERIFY(m_fake->calls.isEmpty()); // neither opened nor closed
        QCOMPARE(m_link->portNumber(), qMax(port, 1));
        QCOMPARE(test::fileBytes(m_ini),
                 port > 0 ? before + "[Port COM]\r\nvaleur=" + answer.toLatin1() + "\r\n" : before);
        makeLink(); // the next start reads the same number back
        m_link->loadPortSetting();
        QCOMPARE(m_link->portNumber(), qMax(port, 1));
    }

    void changePortNumberFrenchSeparator()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QVERIFY(m_link->changePortNumber(QStringLiteral("3,6"), &m_error));
        QCOMPARE(m_link->portNumber(), 4);
        QVERIFY(m_link->changePortNumber(QStringLiteral("5.2"), &m_error));
        QCOMPARE(m_link->portNumber(), 5);
    }

    void changeRefusedWhileOpen()
    {
        QVERIFY(m_link->openPort(&m_error));
        QVERIFY(!m_link->changePortNumber(QStringLiteral("4"), &m_error));
        QVERIFY(m_error.contains(QStringLiteral("COM1")));
        QCOMPARE(m_link->portNumber(), 1);
        QVERIFY(!QFile::exists(m_ini));
    }

    void openAndClose()
    {
        QVERIFY(test::putFile(m_ini, "[Ports]\r\nCOM1=/dev/fake0\r\n"));
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QVERIFY(m_link->openPort(&m_error));
        QVERIFY(m_link->openPort(&m_error)); // already open: nothing more is asked of the port
        m_link->closePort();
        m_link->closePort(); // already closed
        QVERIFY(m_link->openPort(&m_error));
        // DTR goes inactive right after every open, before anything can be written.
        QCOMPARE(m_fake->calls,
                 (QStringList{"open:/dev/fake0", "dtr:0", "flush", "close", "open:/dev/fake0",
                              "dtr:0"}));
        QCOMPARE(firstArgs(changed), (QVariantList{true, false, true}));
    }

    void failedOpen_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("refused") << "3" << QStringList{"COM3", "/dev/ttyS2", "Permission denied"};
        QTest::newRow("no device") << "500" << QStringList{"COM500"};
    }

    void failedOpen()
    {
        QFETCH(QString, port);
        QFETCH(QStringList, named);
        QVERIFY(m_link->changePortNumber(port, &m_error));
        m_fake->openFails = true;
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QVERIFY(!m_link->sendToBoard("A1234567", &m_error));
        for (const QString &part : named)
            QVERIFY2(m_error.contains(part), qPrintable(m_error));
        QVERIFY(!m_link->isOpen());
        QCOMPARE(changed.size(), 0);
        QVERIFY(!m_link->writeMessage("A", &m_error));
        QVERIFY(m_fake->calls.filter(QStringLiteral("write")).isEmpty()); // nothing sent
        QVERIFY(!timer3()->isActive());                                   // no countdown
    }

    void sendOpensWritesAndArmsTimer()
    {
        const QByteArray msg("A\x14\x07\x35\x28\x02\x07\x04", 8);
        QVERIFY(m_link->sendToBoard(msg, &m_error)); // DTR refused: sent all the same
        QVERIFY(m_link->sendToBoard("B", &m_error)); // an open port is not opened again
        QCOMPARE(m_fake->calls,
                 (QStringList{"open:/dev/ttyS0", "dtr:0", "dtr:0", "write:8", "dtr:0", "write:1"}));
        QCOMPARE(m_fake->pending, msg + "B");
        QVERIFY(timer3()->isActive());
        m_fake->writeLimit = 3; // a short write is reported
        timer3()->stop();
        QVERIFY(!m_link->sendToBoard("A1234567", &m_error));
        QVERIFY(!m_error.isEmpty());
        QVERIFY(timer3()->isActive()); // the open port still gets closed
    }

    void everyCommandRestartsTheCountdown()
    {
        QVERIFY(m_link->sendToBoard("A", &m_error));
        QTest::qWait(400);
        const int before = timer3()->remainingTime();
        QVERIFY(before <= 4150);
        QVERIFY(m_link->sendToBoard("B", &m_error));
        const int after = timer3()->remainingTime();
        QVERIFY2(after >= 4400, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
    }

    void repliesAsTheyCome()
    {
        QSignalSpy replies(m_link.get(), &BoardLink::replyReceived);
        m_fake->receive("late"); // port closed: lost
        QVERIFY(m_link->openPort(&m_error));
        Q_EMIT m_fake->dataReceived(); // nothing waiting: no reply
        m_fake->receive("12:3");
        m_fake->receive(QByteArray("\xe9\x80\x00z", 4));
        QCOMPARE(firstArgs(replies),
                 (QVariantList{"12:3", QString::fromLatin1("\xe9\x80\x00z", 4)})); // byte = code
    }

    void pendingOutputIsFlushed()
    {
        QVERIFY(m_link->sendToBoard("A1", &m_error));
        m_link->flushPending(); // before the program quits
        QCOMPARE(m_fake->sent, QByteArray("A1"));
        QVERIFY(m_link->isOpen());
        // The auto-close writes out what waits before it closes.
        timer3()->setInterval(30);
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        const QByteArray frame(125, 'B');
        QVERIFY(m_link->sendToBoard(frame, &m_error));
        QVERIFY(QTest::qWaitFor([&] { return !m_link->isOpen(); }, 2000));
        QCOMPARE(m_fake->sent, "A1" + frame);
        QVERIFY(!timer3()->isActive());
        QCOMPARE(firstArgs(changed), QVariantList{false});
        // So does the end of the link.
        QVERIFY(m_link->sendToBoard("A7", &m_error));
        m_fake->calls.clear();
        m_link.reset();
        QCOMPARE(FakeSerialPort::callsAtEnd, (QStringList{"flush", "close"}));
        QCOMPARE(FakeSerialPort::sentAtEnd, "A1" + frame + "A7");
    }
};

QTEST_GUILESS_MAIN(TestBoardLink)
#include "tst_boardlink.moc"
