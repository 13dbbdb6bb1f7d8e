// The program killed at random moments while it writes param.ini or a schedule file: afterwards
// the file is always the old one or the new one, whole. A child process (the writer, built from
// tests/faults/writer) rewrites the file in a loop with the program's own code and is killed with
// SIGKILL after a random delay, again and again.

#include "faults/writer/WriterStates.h"
#include "platform/ProfileFile.h"
#include "schedule/ScheduleSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace platine;
using namespace platine::test;

class TestKillWhileWriting : public QObject
{
    Q_OBJECT

    QString m_writer;

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // Starts the writer, whose first write puts state `first` into the file, and waits until it
    // is about to write.
    void start(QProcess &child, const QString &mode, const QString &path, int first)
    {
        child.start(m_writer, {mode, path, QString::number(first)});
        QVERIFY2(child.waitForReadyRead(10000), qPrintable(child.errorString()));
        QVERIFY(child.readLine().startsWith("ready"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_writer = QCoreApplication::applicationDirPath() + QStringLiteral("/platine-fault-writer");
        QVERIFY2(QFile::exists(m_writer), qPrintable(m_writer));
    }

    void killedWhileWriting_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("schedule file") << QStringLiteral("schedule")
                                       << QStringLiteral("horaires.txt");
        QTest::newRow("param.ini port") << QStringLiteral("port") << QStringLiteral("param.ini");
    }
    void killedWhileWriting()
    {
        QFETCH(QString, mode);
        QFETCH(QString, fileName);
        constexpr int kKills = 100, kMostKills = 500;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(fileName);

        // Lines of other programs are kept through every write and make the file longer.
        QByteArray foreign = "[Notes]\r\n";
        for (int i = 0; i < 200; ++i)
            foreign += "ligne" + QByteArray::number(i) + "=texte gardé tel quel\r\n";
        QByteArray states[2];
        if (mode == u"schedule") {
            states[0] = updateScheduleSettings(foreign, writerSchedule(0));
            states[1] = updateScheduleSettings(states[0], writerSchedule(1));
        } else {
            const QString section = QStringLiteral("Port COM"), key = QStringLiteral("valeur");
            states[0] = profileUpdate(foreign, section, key, writerPort(0));
            states[1] = profileUpdate(states[0], section, key, writerPort(1));
        }
        QVERIFY(states[0] != states[1]);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(states[0]) == states[0].size());
        }

        // How long one write takes here (machine and build differ): each kill then falls
        // anywhere within the first four writes of its run.
        qint64 writeUs = 0;
        {
            QProcess probe;
            start(probe, mode, path, 1);
            QElapsedTimer writing;
            writing.start();
            qsizetype dots = probe.readAllStandardOutput().count('.');
            while (dots < 20 && probe.waitForReadyRead(10000))
                dots += probe.readAllStandardOutput().count('.');
            writeUs = qMax<qint64>(writing.nsecsElapsed() / 1000 / 20, 50);
            probe.kill();
            QVERIFY(probe.waitForFinished(10000));
            QVERIFY2(dots >= 20, probe.readAllStandardError());
        }

        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int seen[2] = {}, changes = 0;
        int last = readAll(path) == states[1] ? 1 : 0;
        QElapsedTimer clock;
        clock.start();
        // At least kKills kills, and more until both states were left behind often enough.
        int k = 0;
        for (; k < kMostKills && (k < kKills || std::min(seen[0], seen[1]) <= kKills / 10); ++k) {
            QProcess child;
            start(child, mode, path, 1 - last); // its first write changes the file
            QThread::usleep(random.bounded(quint32(4 * writeUs)));
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            // Killed, not stopped by a failed write of its own.
            QVERIFY2(child.exitStatus() == QProcess::CrashExit, child.readAllStandardError());

            const QByteArray now = readAll(path);
            const int state = now == states[0] ? 0 : now == states[1] ? 1 : -1;
            QVERIFY2(state >= 0,
                     qPrintable(QStringLiteral("kill %1 (seed %2): %3 bytes, expected %4 or %5")
                                    .arg(k).arg(seed).arg(now.size())
                                    .arg(states[0].size()).arg(states[1].size())));
            ++seen[state];
            changes += state != last;
            last = state;
        }
        // The kills did fall among the writes: both states were left behind, many times over.
        QVERIFY2(seen[0] > kKills / 10 && seen[1] > kKills / 10,
                 qPrintable(QStringLiteral("%1/%2").arg(seen[0]).arg(seen[1])));
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        qInfo("%d kills in %lld ms (seed %u, one write %lld us): old/new %d/%d, %d changes; "
              "files left: %s", k, clock.elapsed(), seed, writeUs, seen[0], seen[1], changes,
              qPrintable(left.join(u' ')));
    }
};

QTEST_GUILESS_MAIN(TestKillWhileWriting)
#include "tst_killwhilewriting.moc"
