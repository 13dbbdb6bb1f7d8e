// Guards against: a vanished device, a flooded line or unwritable settings mishandled or untold.
#include "board/BoardLink.h"
#include "platform/QtSerialPort.h"
#include "schedule/SchedulePanel.h"
#include "support/FakeDialogs.h"
#include "support/FakeSerialPort.h"
#include "support/Files.h"
#include "support/HeldMemory.h"
#include "support/Program.h"
#include "tools/BoardSimulator.h" // and the pseudo-terminal, termios.h
#include <QtTest>
#include <QtWidgets>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
using namespace platine;
using namespace Qt::StringLiterals;
static QMap<QString, QByteArray> snapshot(const QString &root) // every entry, with contents
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next(); // a folder reads as "<unreadable>"
        files[path] = test::fileBytes(path);
    }
    return files;
}
class TestFaults : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_settings;

private Q_SLOTS:
    void initTestCase() // settings under a regular file: nobody, root included, can write there
    {
        const QString blocker = m_dir.filePath(u"installation"_s);
        QVERIFY(test::putFile(blocker, "un fichier, pas un dossier\n"));
        m_settings = chooseSettingsDir(blocker + u"/bin"_s, blocker + u"/config"_s);
    }
    void userIsToldNothingElseChanges_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("answer"); // to the port or file question
        const QString missing = m_dir.filePath(u"absent/horaires.txt"_s);
        QTest::newRow("Programmer") << u"Command7"_s << QString();
        QTest::newRow("Port COM") << u"n_port"_s << u"5"_s;
        QTest::newRow("Enregistrer sous, missing folder") << u"n_enregistrer"_s << missing;
    }
    void userIsToldNothingElseChanges()
    {
        QFETCH(QString, action);
        QFETCH(QString, answer);
        test::FakeDialogs dialogs;
        dialogs.inputAnswers << answer;
        dialogs.fileAnswers << answer;
        test::Program program(std::make_unique<test::FakeSerialPort>(), dialogs, m_settings);
        SchedulePanel *panel = program->schedulePanel();
        const auto texts = u"08:30:00 12:05:00 13:45:00 17:00:00 20:10 23:59:00 13"_s.split(u' ');
        for (int i = 0; i < kScheduleBoxCount; ++i)
            panel->box(i)->setText(texts[i]);
        panel->setDayPosition(9);
        const QMap<QString, QByteArray> files = snapshot(m_dir.path());
        action.startsWith(u'n') ? program.get<QAction>(action)->trigger()
                                : program.get<QPushButton>(action)->click();
        QVERIFY(dialogs.messages.size() == 1 && dialogs.messages[0].icon == MessageIcon::Warning);
        const QString named = answer.contains(u'/') ? answer : m_settings + u"/param.ini"_s;
        QVERIFY2(dialogs.messages[0].text.contains(named), qPrintable(dialogs.messages[0].text));
        QCOMPARE(snapshot(m_dir.path()), files);
        for (int i = 0; i < kScheduleBoxCount; ++i)
            QCOMPARE(panel->box(i)->text(), texts[i]);
        QCOMPARE(panel->dayList()->currentText(), u"Tous les jours"_s);
        const auto *wire = static_cast<test::FakeSerialPort *>(program->link()->port());
        QCOMPARE(wire->calls.filter(u"write"_s).size(), action == u"Command7" ? 1 : 0);
        QCOMPARE(program->link()->portNumber(), action == u"n_port" ? 5 : 1);
    }
    void deviceVanishes_data()
    {
        QTest::addColumn<bool>("whileSending");
        QTest::newRow("port open, clock read-out coming in") << false;
        QTest::newRow("command being sent") << true;
    }
    void deviceVanishes()
    {
        QFETCH(bool, whileSending);
        test::FakeDialogs dialogs;
        BoardSimulator board;
        board.setClockInterval(20);
        const QString ini = m_dir.filePath(u"param.ini"_s); // read at each opening of the port
        QVERIFY(board.start() && test::putPort3Ini(ini, board.devicePath()));
        test::Program program(makeQtSerialPort(), dialogs, m_dir.path());
        QLabel *label8 = program.get<QLabel>(u"Label8"_s);
        QLineEdit *text1 = program.get<QLineEdit>(u"Text1"_s);
        program->showBoardDisplayPanel();
        int held = -1; // a second handle on the device, that holds back its output (flow control)
        if (whileSending) {
            held = ::open(qPrintable(board.devicePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
            QVERIFY(held >= 0 && ::tcflow(held, TCOOFF) == 0);
            program.sendClock();
            QTest::qWait(100); // the command stays on its way
            QVERIFY(program->link()->isOpen() && board.received().isEmpty());
        } else {
            program.get<QPushButton>(u"Command2"_s)->click();
            QTRY_VERIFY_WITH_TIMEOUT(text1->text().contains(u':'), 3000);
        }
        const QString device = board.devicePath();
        board.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!program->link()->isOpen(), 3000);
        ::close(held); // none (-1) when the port was not held
        QCOMPARE(label8->text(), u"Port fermé"_s);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages.size(), 1, 1000);
        QCOMPARE(dialogs.messages[0].text,
                 u"Le port COM3 (%1) s'est fermé : la carte ou le câble a "
                 "été débranché. Rebranchez-le, puis recommencez."_s.arg(device));
        QTest::qWait(200); // nothing left to close the port again or to tell it twice
        QCOMPARE(dialogs.messages.size(), 1);
        program.sendClock(); // still unplugged: told so, in French
        QVERIFY(dialogs.messages.size() == 2
                && dialogs.messages[1].text.contains(u") est fermé : la carte ou le câble a été"));
    }
    void floodOfText() // a megabyte of text in about a second
    {
        QTemporaryDir dir;
        PseudoTerminal pty;
        QVERIFY(pty.open() && test::putPort3Ini(dir.filePath(u"param.ini"_s), pty.devicePath()));
        test::FakeDialogs dialogs;
        test::Program program(makeQtSerialPort(), dialogs, dir.path());
        program->showBoardDisplayPanel();
        program->showClockPanel();
        program.get<QPushButton>(u"Command2"_s)->click();
        QVERIFY(program->link()->isOpen());
        QLineEdit *text1 = program.get<QLineEdit>(u"Text1"_s);
        const QByteArray line = "14:07:35 28/02/2007\r\n", last = "FIN 23:59:59 31/12/2099";
        pty.write(line.repeated(100)); // what the displays need for any text, before measuring
        QTRY_VERIFY_WITH_TIMEOUT(text1->text().endsWith(QString::fromLatin1(line)), 3000);
        QTest::qWait(100);
        const qint64 before = test::heldKb();
        // The board: 1 MiB in 1024 writes, one a millisecond, waiting when the line is full.
        const QByteArray chunk = line.repeated(1024 / line.size() + 1).left(1024);
        std::atomic<bool> done = false, giveUp = false;
        QElapsedTimer clock;
        clock.start();
        std::thread board([&] {
            for (qsizetype sent = 0; sent < (1 << 20) && !giveUp; sent += chunk.size()) {
                while (clock.elapsed() < sent / 1024)
                    QThread::usleep(200);
                pty.write(chunk);
            }
            pty.write(last);
            done = !giveUp;
        });
        // Meanwhile a plain event loop: the longest gap of a 5 ms timer, a timer posted mid-flood.
        QEventLoop loop;
        qint64 previous = clock.elapsed(), longestStall = 0, late = -1;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longestStall = qMax(longestStall, now - previous);
            previous = now;
            if (done || now > 15000)
                loop.quit();
        });
        ticks.start(5);
        QTimer::singleShot(500, Qt::PreciseTimer, &loop, [&] { late = clock.elapsed() - 500; });
        loop.exec();
        ticks.stop();
        giveUp = true;
        board.join();
        QVERIFY2(done, "the board could not send its megabyte within 15 s");
        QTRY_VERIFY_WITH_TIMEOUT(text1->text().endsWith(QString::fromLatin1(last)), 3000);
        const qint64 after = test::heldKb();
        // Draining the line before the event loop stalls a second; keeping the 2 MiB of text grows.
        QVERIFY2(
            longestStall < 500 && late >= 0 && late < 500 && before > 0 && after - before < 1024,
            qPrintable(QString::asprintf("longest stall %lld ms, timer %lld ms late, memory %lld "
                                         "then %lld kB",
                                         longestStall, late, before, after)));
        const QString shown = text1->text(); // the latest burst: kilobytes, never the megabyte
        QVERIFY2(shown.size() <= 8192, qPrintable(QString::number(shown.size())));
        QCOMPARE(program.get<QLineEdit>(u"Text3"_s)->text(), shown);
        QCOMPARE(program.get<QLineEdit>(u"Text4"_s)->text(), shown);
        QVERIFY(program->link()->isOpen() && dialogs.messages.isEmpty());
    }
};
QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
