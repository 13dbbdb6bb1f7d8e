// The board link end to end: the real serial port on a pseudo-terminal, with the board simulator
// at the other end.

#include "board/BoardLink.h"
#include "board/ClockCommand.h"
#include "platform/SerialPort.h"
#include "tools/BoardSimulator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platine;

class TestBoardLinkPty : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<BoardSimulator> m_sim;
    std::unique_ptr<BoardLink> m_link;

    void pointPortAt(const QString &device)
    {
        QFile f(m_ini);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Port COM]\r\nvaleur=3\r\n[Ports]\r\nCOM3=" + device.toLocal8Bit() + "\r\n");
        f.close();
        m_link->loadPortSetting();
        QCOMPARE(m_link->commPort(), 3);
    }

private Q_SLOTS:
    void init()
    {
        m_ini = m_dir.filePath(QStringLiteral("param.ini"));
        m_sim = std::make_unique<BoardSimulator>();
        m_sim->setClockInterval(0);
        QString error;
        QVERIFY2(m_sim->start(&error), qPrintable(error));
        m_link = std::make_unique<BoardLink>(makeQtSerialPort(), m_ini);
        pointPortAt(m_sim->devicePath());
    }
    void cleanup()
    {
        m_link.reset();
        m_sim.reset();
    }

    void clockCommandReplyAndAutoClose()
    {
        QSignalSpy replies(m_link.get(), &BoardLink::replyReceived);
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QString error;
        QElapsedTimer clock;
        clock.start();
        // As "Programmation" does it: open first, then build and write the message.
        QVERIFY2(m_link->ensureOpen(&error), qPrintable(error));
        const ClockFields f{QStringLiteral("14"), QStringLiteral("07"), QStringLiteral("35"),
                            QStringLiteral("28"), QStringLiteral("02"), QStringLiteral("2007"),
                            QStringLiteral("Mercredi")};
        QCOMPARE(invalidClockField(f), QString());
        QVERIFY2(m_link->writeMessage(encodeClockCommand(f), &error), qPrintable(error));

        // The simulator answers with one line, which arrives as one reply.
        QVERIFY(QTest::qWaitFor([&] { return !replies.isEmpty(); }, 3000));
        QTest::qWait(100);
        QCOMPARE(replies.size(), 1);
        QCOMPARE(replies.at(0).at(0).toString(),
                 QStringLiteral("Heure reglee : 14:07:35 28/02/2007\r\n"));
        // Exactly the eight bytes went on the line.
        QCOMPARE(m_sim->received(), QByteArray("\x41\x14\x07\x35\x28\x02\x07\x04", 8));

        // A reply typed at the board comes whole, replacing nothing but itself.
        QCOMPARE(m_sim->sendText(QStringLiteral("12:34:56 28/02/2007\r\n")), qint64(21));
        QVERIFY(QTest::qWaitFor([&] { return replies.size() == 2; }, 3000));
        QCOMPARE(replies.at(1).at(0).toString(), QStringLiteral("12:34:56 28/02/2007\r\n"));

        // The port closes by itself about 4.5 s after the command.
        QVERIFY(m_link->isOpen());
        QVERIFY(QTest::qWaitFor([&] { return !m_link->isOpen(); }, 7000));
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 4400 && elapsed < 6000, qPrintable(QString::number(elapsed)));
        QVERIFY(!m_link->autoCloseTimer()->isActive());
        QCOMPARE(changed.size(), 2);
        QVERIFY(!m_sim->peerConnected());
    }

    void scheduleFrameArrivesWhole()
    {
        QByteArray frame(125, '\0');
        frame[0] = 'B';
        frame[1] = char(0x08);
        frame[2] = char(0x30);
        frame[13] = char(10);
        frame[14] = char(120);
        QString error;
        QVERIFY2(m_link->sendToBoard(frame, &error), qPrintable(error));
        QVERIFY(QTest::qWaitFor([&] { return !m_sim->commands().isEmpty(); }, 3000));
        QCOMPARE(m_sim->commands(), QList<QByteArray>{frame});
        QCOMPARE(m_sim->received(), frame);
    }

    void outputFlushedBeforeClose()
    {
        QString error;
        QVERIFY(m_link->sendToBoard(QByteArray("\x41\x09\x05\x03\x04\x03\x07\x01", 8), &error));
        m_link->closePort(); // at once, before the event loop has run
        QVERIFY(QTest::qWaitFor([&] { return !m_sim->commands().isEmpty(); }, 3000));
        QCOMPARE(m_sim->received(), QByteArray("\x41\x09\x05\x03\x04\x03\x07\x01", 8));
    }

    void deviceVanishesWhileOpen()
    {
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QSignalSpy lost(m_link.get(), &BoardLink::portLost);
        QString error;
        QVERIFY2(m_link->openPort(&error), qPrintable(error));
        m_sim->stop();
        QVERIFY(QTest::qWaitFor([&] { return !lost.isEmpty(); }, 3000));
        QVERIFY(!m_link->isOpen());
        QCOMPARE(lost.size(), 1);
        QVERIFY(lost.at(0).at(0).toString().contains(QStringLiteral("COM3")));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(0).toBool(), false);

        // The link stays usable: a new board on a new device.
        QVERIFY(m_sim->start(&error));
        pointPortAt(m_sim->devicePath());
        QVERIFY2(m_link->sendToBoard("A", &error), qPrintable(error));
        QVERIFY(QTest::qWaitFor([&] { return m_sim->received() == "A"; }, 3000));
    }

    void failedOpenOfMissingDevice()
    {
        pointPortAt(m_dir.filePath(QStringLiteral("no-such-tty")));
        QSignalSpy changed(m_link.get(), &BoardLink::openChanged);
        QString error;
        QVERIFY(!m_link->sendToBoard("A1234567", &error));
        QVERIFY(error.contains(QStringLiteral("COM3")));
        QVERIFY(error.contains(m_dir.filePath(QStringLiteral("no-such-tty"))));
        QVERIFY(error.size() > 40); // and the system's reason
        QVERIFY(!m_link->isOpen());
        QVERIFY(!m_link->autoCloseTimer()->isActive());
        QCOMPARE(changed.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestBoardLinkPty)
#include "tst_boardlink_pty.moc"
