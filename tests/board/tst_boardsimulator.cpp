// The board simulator on a pseudo-terminal; the link end to end through it is run from the main
// window (tests/app/tst_boardline).

#include "board/BoardLink.h"
#include "platform/QtSerialPort.h"
#include "tools/BoardSimulator.h"

#include "TestUtil.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platine;
using namespace Qt::StringLiterals;
using test::firstArgs;

namespace {

const QByteArray kClock("\x41\x14\x07\x35\x28\x02\x07\x04", 8);
const QByteArray kBadClock("\x41\x25\x07\x35\x28\x02\x07\x04", 8);
const QByteArray kSchedule =
    QByteArray("B\x08\x30\x12\x00\x13\x15\x17\x45\x20\x00\x23\x59\x0a\x78", 15)
    + QByteArray(110, 0);

} // namespace

class TestBoardSimulator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_ini;
    QString m_error;
    std::unique_ptr<BoardSimulator> m_sim;
    std::unique_ptr<BoardLink> m_link;  // the program's link, on port 3
    std::unique_ptr<SerialPort> m_peer; // or a bare port for the simulator's own tests
    QByteArray m_got;                   // what the bare port received

    void pointPortAt(const QStringList &portLines)
    {
        const QString ini = u"[Port COM]\r\nvaleur=3\r\n"_s + portLines.join(u"\r\n"_s);
        QVERIFY(test::putFile(m_ini, ini.toLocal8Bit()));
        m_link->loadPortSetting();
    }
    void openPeer()
    {
        m_peer = makeQtSerialPort();
        QVERIFY2(m_peer->open(m_sim->devicePath(), &m_error), qPrintable(m_error));
        connect(m_peer.get(), &SerialPort::dataReceived, this,
                [this] { m_got += m_peer->readAll(); });
    }
    void send(const QByteArray &bytes)
    {
        QCOMPARE(m_peer->write(bytes), qint64(bytes.size()));
        QVERIFY(m_peer->flush(1000));
    }

private Q_SLOTS:
    void init()
    {
        m_ini = m_dir.filePath(QStringLiteral("param.ini"));
        m_sim = std::make_unique<BoardSimulator>();
        m_sim->setClockInterval(0);
        QVERIFY2(m_sim->start(&m_error), qPrintable(m_error));
        m_link = std::make_unique<BoardLink>(makeQtSerialPort(), m_ini);
        pointPortAt(m_sim->paramIniLines(3));
        m_got.clear();
    }
    void cleanup()
    {
        m_peer.reset();
        m_link.reset();
        m_sim.reset();
    }

    void describe()
    {
        const QString clock = BoardSimulator::describe(kClock);
        QVERIFY(clock.startsWith(QStringLiteral("41 14 07 35 28 02 07 04\n")));
        QVERIFY(clock.contains(QStringLiteral("14:07:35 28/02/2007, jour 4 (Mercredi)")));
        QVERIFY(!clock.contains(QStringLiteral("impossible")));
        QVERIFY(BoardSimulator::describe(kBadClock).contains(QStringLiteral("impossible")));
        const QString sched = BoardSimulator::describe(kSchedule);
        for (const char *line : {"Plage 1 : 08:30 - 12:00", "Plage 2 : 13:15 - 17:45",
                                 "Plage 3 : 20:00 - 23:59", "Jours : 10 (Tous les jours)",
                                 "Periode : 120 s"})
            QVERIFY2(sched.contains(QLatin1String(line)), line);
        QVERIFY(!sched.contains(QStringLiteral("non nuls")));
    }

    void commands_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // sent in two pieces, the first three bytes first
        QTest::addColumn<int>("pause");        // between the pieces, in ms
        QTest::addColumn<QByteArray>("junk");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QDateTime>("boardTime"); // invalid: unchanged
        const QDateTime set(QDate(2007, 2, 28), QTime(14, 7, 35));
        const QByteArray setReply("Heure reglee : 14:07:35 28/02/2007\r\n");
        const int late = BoardSimulator::kIncompleteMs + 300;
        const QByteArray none, piece("A\x01\x02");
        using QTest::newRow;
        newRow("clock") << kClock << 30 << none << kClock << setReply << set;
        newRow("impossible time") << kBadClock << 30 << none << kBadClock
                                  << QByteArray("Erreur : heure invalide\r\n") << QDateTime();
        newRow("schedule after junk") << "xy" + kSchedule << 30 << QByteArray("xy") << kSchedule
                                      << none << QDateTime();
        newRow("incomplete command dropped")
            << piece + kClock << late << piece << kClock << setReply << set;
    }

    void commands()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, pause);
        QFETCH(QByteArray, junk);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        QFETCH(QDateTime, boardTime);
        openPeer();
        QSignalSpy commands(m_sim.get(), &BoardSimulator::commandReceived);
        QSignalSpy junks(m_sim.get(), &BoardSimulator::junkReceived);
        const QDateTime before = m_sim->boardTime();
        send(bytes.first(3));
        QTest::qWait(pause);
        send(bytes.sliced(3));
        QVERIFY(QTest::qWaitFor([&] { return !commands.isEmpty(); }, 2000));
        QTest::qWait(100);
        QCOMPARE(m_got, reply);
        QCOMPARE(firstArgs(commands), QVariantList{command});
        QCOMPARE(firstArgs(junks), junk.isEmpty() ? QVariantList() : QVariantList{junk});
        QCOMPARE(m_sim->received(), bytes);
        const QDateTime expected = boardTime.isValid() ? boardTime : before;
        QVERIFY(qAbs(m_sim->boardTime().msecsTo(expected)) < 2000);
    }

    void clockReadOutOnlyWhileListened()
    {
        QVERIFY(!m_sim->peerConnected());
        openPeer();
        QVERIFY(m_sim->peerConnected());
        m_sim->setBoardTime(QDateTime(QDate(2007, 3, 4), QTime(9, 5, 3)));
        m_sim->setClockInterval(100);
        QVERIFY(QTest::qWaitFor([&] { return m_got.count('\n') >= 2; }, 2000));
        QVERIFY(m_got.startsWith("09:05:0"));
        QVERIFY(m_got.contains(" 04/03/2007\r\n"));
        // Nobody listening: nothing is kept for later.
        m_peer->close();
        QVERIFY(!m_sim->peerConnected());
        QTest::qWait(350);
        m_sim->setClockInterval(0);
        m_got.clear();
        openPeer();
        QTest::qWait(60);
        QCOMPARE(m_got, QByteArray());
    }

    void outputFlushedBeforeClose()
    {
        const QByteArray frame = "B" + QByteArray(124, '\x11');
        QVERIFY(m_link->sendToBoard(frame, &m_error));
        m_link->closePort(); // at once, before the event loop has run
        QVERIFY(QTest::qWaitFor([&] { return !m_sim->commands().isEmpty(); }, 3000));
        QCOMPARE(m_sim->received(), frame);
    }
};

QTEST_GUILESS_MAIN(TestBoardSimulator)
#include "tst_boardsimulator.moc"
