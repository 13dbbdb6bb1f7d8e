// Guards against: a settings or schedule file left half written, empty or gone by a kill.
#include "platform/SettingsDir.h"
#include "support/Files.h"
#include <QtTest>
using namespace platine;
using namespace Qt::StringLiterals;

class TestKillWhileWriting : public QObject
{
    Q_OBJECT
    const QString m_writer = QCoreApplication::applicationDirPath() + u"/platine-fault-writer"_s;
    bool start(QProcess &writer, const QStringList &args) // true once it is about to write
    {
        writer.start(m_writer, args);
        return writer.waitForReadyRead(10000) && writer.readLine().startsWith("ready");
    }

private Q_SLOTS:
    void killedWhileWriting_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("schedule file") << u"schedule"_s;
        QTest::newRow("param.ini port") << u"port"_s;
    }
    void killedWhileWriting()
    {
        QFETCH(QString, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(mode == u"port" ? u"param.ini"_s : u"horaires.txt"_s);
        // Lines of other programs, kept by every write, make the file long.
        const QByteArray notes = "[Notes]\r\n" + QByteArray("autre=gardée\r\n").repeated(450);
        QByteArray states[2]; // the file after a whole write of each state
        QVERIFY(test::putFile(path, notes));
        for (int n : {0, 1}) {
            QCOMPARE(QProcess::execute(m_writer, {mode, path, QString::number(n), u"once"_s}), 0);
            states[n] = test::fileBytes(path);
        }
        QVERIFY(states[0] != states[1] && states[0].contains(notes) && states[1].contains(notes));

        // How long one write takes here: each kill then falls within a run's first four writes.
        QProcess probe;
        QVERIFY2(start(probe, {mode, path, u"1"_s}), qPrintable(probe.errorString()));
        QElapsedTimer writing;
        writing.start();
        for (qsizetype dots = 0; dots < 20; dots += probe.readAllStandardOutput().count('.'))
            QVERIFY2(probe.waitForReadyRead(10000), probe.readAllStandardError());
        const qint64 writeUs = qMax<qint64>(writing.nsecsElapsed() / 20000, 50);
        probe.kill();
        probe.waitForFinished(10000);

        // 100 kills, or as many as PLATINE_KILLS says (the long run); a tenth of them at least
        // must leave each state.
        const int kills = qMax(100, qEnvironmentVariableIntValue("PLATINE_KILLS"));
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int seen[2] = {}, last = test::fileBytes(path) == states[1], k = 0;
        for (; k < 5 * kills && (k < kills || qMin(seen[0], seen[1]) <= kills / 10); ++k) {
            QProcess writer; // its first write changes the file
            QVERIFY2(start(writer, {mode, path, QString::number(1 - last)}), qPrintable(path));
            QThread::usleep(random.bounded(quint32(4 * writeUs)));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            QVERIFY2(writer.exitStatus() == QProcess::CrashExit, writer.readAllStandardError());
            const QByteArray now = test::fileBytes(path);
            last = now == states[0] ? 0 : now == states[1] ? 1 : -1;
            QVERIFY2(last >= 0, qPrintable(u"kill %1 (seed %2)"_s.arg(k).arg(seed)));
            ++seen[last];
        }
        const QString name = QFileInfo(path).fileName();
        const qsizetype left = QDir(dir.path()).entryList({name + u".*"_s}, QDir::Files).size();
        qInfo("%d kills (seed %u, one write %lld us): %d/%d, 0 torn, %lld temporaries left", k,
              seed, writeUs, seen[0], seen[1], qint64(left));
        QVERIFY(seen[0] > kills / 10 && seen[1] > kills / 10); // the kills fell among the writes
        if (mode == u"port") { // start-up removes what the kills left beside param.ini, no more
            const QByteArray kept = test::fileBytes(path);
            QCOMPARE(chooseSettingsDir(dir.path(), dir.filePath(u"unused"_s)), dir.path());
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
            QCOMPARE(test::fileBytes(path), kept);
        }
    }
};
QTEST_GUILESS_MAIN(TestKillWhileWriting)
#include "tst_killwhilewriting.moc"
