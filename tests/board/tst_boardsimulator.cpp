#include "tools/BoardSimulator.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <functional>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace platine;

namespace {

const QByteArray kClock("\x41\x14\x07\x35\x28\x02\x07\x04", 8);

QByteArray scheduleFrame()
{
    QByteArray f(125, '\0');
    const unsigned char body[] = {0x42, 0x08, 0x30, 0x12, 0x00, 0x13, 0x15, 0x17,
                                  0x45, 0x20, 0x00, 0x23, 0x59, 10,   120};
    for (int i = 0; i < int(sizeof body); ++i)
        f[i] = char(body[i]);
    return f;
}

// The program's side of the line, opened raw like a serial port.
class Peer
{
public:
    explicit Peer(const QString &device)
    {
        m_fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~Peer() { close(); }
    bool isOpen() const { return m_fd >= 0; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    bool write(const QByteArray &b) { return ::write(m_fd, b.constData(), size_t(b.size())) == b.size(); }
    // Reads what arrives until `until` is true of it or `msecs` have passed; `eof` tells whether
    // the other side went away.
    QByteArray read(int msecs, const std::function<bool(const QByteArray &)> &until = {},
                    bool *eof = nullptr)
    {
        QByteArray out;
        QDeadlineTimer deadline(msecs);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            char buf[1024];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0)
                out.append(buf, n);
            else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                if (eof)
                    *eof = true;
                break;
            }
            if (until && until(out))
                break;
            QThread::msleep(1);
        }
        return out;
    }

private:
    int m_fd = -1;
};

} // namespace

class TestBoardSimulator : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardSimulator> m_sim;

private Q_SLOTS:
    void init()
    {
        m_sim = std::make_unique<BoardSimulator>();
        m_sim->setClockInterval(0);
        QString error;
        QVERIFY2(m_sim->start(&error), qPrintable(error));
    }
    void cleanup() { m_sim.reset(); }

    void deviceAndParamIniLines()
    {
        QVERIFY(m_sim->devicePath().startsWith(QStringLiteral("/dev/")));
        QVERIFY(QFile::exists(m_sim->devicePath()));
        QCOMPARE(m_sim->paramIniLines(3),
                 (QStringList{QStringLiteral("[Ports]"),
                              QStringLiteral("COM3=") + m_sim->devicePath()}));
        QVERIFY(!m_sim->peerConnected());
        Peer peer(m_sim->devicePath());
        QVERIFY(peer.isOpen());
        QVERIFY(m_sim->peerConnected());
        peer.close();
        QVERIFY(!m_sim->peerConnected());
    }

    void describeCommands()
    {
        const QString clock = BoardSimulator::describe(kClock);
        QVERIFY(clock.startsWith(QStringLiteral("41 14 07 35 28 02 07 04\n")));
        QVERIFY(clock.contains(QStringLiteral("14:07:35 28/02/2007")));
        QVERIFY(clock.contains(QStringLiteral("Mercredi")));
        QVERIFY(!clock.contains(QStringLiteral("impossible")));

        QByteArray bad = kClock;
        bad[1] = char(0x27);
        QVERIFY(BoardSimulator::describe(bad).contains(QStringLiteral("impossible")));

        const QString sched = BoardSimulator::describe(scheduleFrame());
        QVERIFY(sched.contains(QStringLiteral("Plage 1 : 08:30 - 12:00")));
        QVERIFY(sched.contains(QStringLiteral("Plage 2 : 13:15 - 17:45")));
        QVERIFY(sched.contains(QStringLiteral("Plage 3 : 20:00 - 23:59")));
        QVERIFY(sched.contains(QStringLiteral("Jours : 10 (Tous les jours)")));
        QVERIFY(sched.contains(QStringLiteral("Periode : 120 s")));
        QVERIFY(!sched.contains(QStringLiteral("non nuls")));
    }

    void answersTheClockCommand()
    {
        Peer peer(m_sim->devicePath());
        QSignalSpy commands(m_sim.get(), &BoardSimulator::commandReceived);
        // The command arrives in two pieces.
        QVERIFY(peer.write(kClock.first(3)));
        QTest::qWait(30);
        QVERIFY(peer.write(kClock.sliced(3)));
        const QByteArray line = peer.read(2000, [](const QByteArray &b) { return b.endsWith('\n'); });
        QCOMPARE(line, QByteArray("Heure reglee : 14:07:35 28/02/2007\r\n"));
        QCOMPARE(commands.size(), 1);
        QCOMPARE(commands.at(0).at(0).toByteArray(), kClock);
        QCOMPARE(m_sim->commands(), QList<QByteArray>{kClock});
        const qint64 drift =
            m_sim->boardTime().msecsTo(QDateTime(QDate(2007, 2, 28), QTime(14, 7, 35)));
        QVERIFY(qAbs(drift) < 2000);
    }

    void refusesAnImpossibleTime()
    {
        Peer peer(m_sim->devicePath());
        const QDateTime before = m_sim->boardTime();
        QByteArray bad = kClock;
        bad[1] = char(0x25);
        QVERIFY(peer.write(bad));
        const QByteArray line = peer.read(2000, [](const QByteArray &b) { return b.endsWith('\n'); });
        QCOMPARE(line, QByteArray("Erreur : heure invalide\r\n"));
        QVERIFY(qAbs(before.msecsTo(m_sim->boardTime())) < 2000);
    }

    void scheduleFrameAndJunk()
    {
        Peer peer(m_sim->devicePath());
        QSignalSpy commands(m_sim.get(), &BoardSimulator::commandReceived);
        QSignalSpy junk(m_sim.get(), &BoardSimulator::junkReceived);
        QVERIFY(peer.write("xy" + scheduleFrame()));
        QVERIFY(QTest::qWaitFor([&] { return commands.size() == 1; }, 2000));
        QCOMPARE(junk.size(), 1);
        QCOMPARE(junk.at(0).at(0).toByteArray(), QByteArray("xy"));
        QCOMPARE(commands.at(0).at(0).toByteArray(), scheduleFrame());
        QCOMPARE(m_sim->received(), "xy" + scheduleFrame());
        // No answer to a schedule frame.
        QVERIFY(peer.read(100).isEmpty());
    }

    void incompleteCommandIsDropped()
    {
        Peer peer(m_sim->devicePath());
        QSignalSpy commands(m_sim.get(), &BoardSimulator::commandReceived);
        QSignalSpy junk(m_sim.get(), &BoardSimulator::junkReceived);
        QVERIFY(peer.write("A\x01\x02"));
        QVERIFY(junk.wait(BoardSimulator::kIncompleteMs + 1000));
        QCOMPARE(junk.at(0).at(0).toByteArray(), QByteArray("A\x01\x02"));
        // The line is in step again.
        QVERIFY(peer.write(kClock));
        QVERIFY(QTest::qWaitFor([&] { return commands.size() == 1; }, 2000));
        QCOMPARE(commands.at(0).at(0).toByteArray(), kClock);
    }

    void clockReadOutOnlyWhileListened()
    {
        Peer peer(m_sim->devicePath());
        m_sim->setBoardTime(QDateTime(QDate(2007, 3, 4), QTime(9, 5, 3)));
        m_sim->setClockInterval(100);
        const QByteArray lines =
            peer.read(2000, [](const QByteArray &b) { return b.count('\n') >= 2; });
        QVERIFY(lines.startsWith("09:05:0"));
        QVERIFY(lines.contains(" 04/03/2007\r\n"));
        // Nobody listening: nothing is kept for later.
        peer.close();
        QTest::qWait(350);
        m_sim->setClockInterval(0);
        Peer again(m_sim->devicePath());
        QVERIFY(again.read(60).isEmpty());
    }

    void sendTextAndStop()
    {
        Peer peer(m_sim->devicePath());
        QCOMPARE(m_sim->sendText(QStringLiteral("12:3\u00e9")), qint64(5));
        QCOMPARE(peer.read(1000, [](const QByteArray &b) { return b.size() >= 5; }),
                 QByteArray("12:3\xe9"));
        m_sim->stop();
        QVERIFY(!m_sim->isRunning());
        QCOMPARE(m_sim->sendText(QStringLiteral("x")), qint64(-1));
        bool eof = false;
        peer.read(1000, {}, &eof);
        QVERIFY(eof); // the device went away under the program
    }
};

QTEST_GUILESS_MAIN(TestBoardSimulator)
#include "tst_boardsimulator.moc"
