// The board flooding the line: a megabyte of text in about a second. The window keeps answering,
// its memory stays bounded, and the reply displays end with the last text the board sent.

#include "app/MainWindow.h"
#include "board/BoardLink.h"
#include "common/FakeDialogs.h"
#include "common/Program.h"
#include "common/Pty.h"
#include "platform/ProfileFile.h"
#include "platform/QtSerialPort.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <malloc.h>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define PLATINE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLATINE_ASAN 1
#endif
#endif
#ifdef PLATINE_ASAN
#include <sanitizer/allocator_interface.h>
#endif

using namespace platine;
using namespace Qt::StringLiterals;
using platine::test::FakeDialogs;
using platine::test::Pty;

namespace {

// Memory the program holds, in kB: the resident size after handing freed memory back to the
// system. Under AddressSanitizer, which keeps freed blocks in quarantine and its shadow memory
// resident, the bytes allocated and not yet freed instead.
qint64 heldKb()
{
#ifdef PLATINE_ASAN
    return qint64(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    ::malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line; !(line = status.readLine()).isEmpty();) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
#endif
}

} // namespace

class TestFlood : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void floodOfText()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(writeProfileString(dir.filePath(u"param.ini"_s), QStringLiteral("Port COM"),
                                   QStringLiteral("valeur"), QStringLiteral("3"))
                    .ok);
        QVERIFY(writeProfileString(dir.filePath(u"param.ini"_s), QStringLiteral("Ports"),
                                   QStringLiteral("COM3"), pty.devicePath())
                    .ok);
        FakeDialogs dialogs;
        test::Program program(makeQtSerialPort(), dialogs, dir.path());
        MainWindow &w = *program.window;
        w.showBoardDisplayPanel();
        w.showClockPanel();
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY(w.link()->isOpen());
        auto *text1 = w.findChild<QLineEdit *>(QStringLiteral("Text1"));

        // A first, ordinary reply: what the displays need for any text is in place before the
        // memory is measured.
        const QByteArray line = "14:07:35 28/02/2007\r\n";
        pty.write(line.repeated(100));
        QTRY_VERIFY_WITH_TIMEOUT(text1->text().endsWith(QString::fromLatin1(line)), 3000);
        QTest::qWait(100);
        const qint64 before = heldKb();
        QVERIFY(before > 0);

        // The board: 1 MiB of clock lines in 1024 writes paced one per millisecond, then a last
        // line of its own. It waits whenever the line is full, as a real sender would.
        constexpr qsizetype kFlood = 1 << 20;
        const QByteArray chunk = line.repeated(1024 / line.size() + 1).left(1024);
        const QByteArray last = "FIN 23:59:59 31/12/2099";
        std::atomic<bool> done = false, giveUp = false;
        std::atomic<qint64> sentAt = 0;
        QElapsedTimer clock;
        clock.start();
        std::thread board([&] {
            for (qsizetype sent = 0; sent < kFlood && !giveUp; sent += chunk.size()) {
                while (clock.elapsed() < sent / 1024)
                    QThread::usleep(200);
                pty.write(chunk);
            }
            pty.write(last);
            sentAt = clock.elapsed();
            done = !giveUp;
        });

        // Meanwhile the window's event loop: the longest wait of a 5 ms timer, and a one-off
        // timer posted in the middle of the flood. (A plain event loop: QTest's waits sleep
        // between their passes.)
        QEventLoop loop;
        qint64 previous = 0, longestStall = 0, postedLate = -1;
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longestStall = qMax(longestStall, now - previous);
            previous = now;
            if (done || now > 15000)
                loop.quit();
        });
        previous = clock.elapsed();
        ticks.start(5);
        QTimer::singleShot(500, Qt::PreciseTimer, &w, [&] { postedLate = clock.elapsed() - 500; });
        loop.exec();
        ticks.stop();
        giveUp = true;
        board.join();
        QVERIFY2(done, "the board could not send its megabyte within 15 s");
        QTRY_VERIFY_WITH_TIMEOUT(text1->text().endsWith(QString::fromLatin1(last)), 3000);
        const qint64 after = heldKb();
        qInfo("1 MiB sent in %lld ms; longest event-loop stall %lld ms; posted timer %lld ms late; "
              "memory held %lld kB before, %lld kB after",
              sentAt.load(), longestStall, postedLate, before, after);

        // The window kept answering. The flood lasts a second or more: a reader that drained the
        // line before going back to the event loop would stall for about that long; handling one
        // burst takes a few milliseconds (tens on a busy machine or a sanitizer build).
        QVERIFY2(longestStall < 500, qPrintable(QString::number(longestStall)));
        QVERIFY2(postedLate >= 0 && postedLate < 500, qPrintable(QString::number(postedLate)));
        // The line carried 1 MiB, 2 MiB as text: keeping any sizable share of it (an input buffer
        // that only grows, a display that appends, an undo history) would exceed this.
        QVERIFY2(after - before < 1024, qPrintable(QString::number(after - before)));
        // The displays show the latest burst, the same in all three, and the port is still open.
        // A burst ends when a kilobyte waits or the line is quiet; reads of a few kilobytes at a
        // time may add to it, never the flood's megabyte.
        const QString shown = text1->text();
        QVERIFY2(shown.size() <= 8192, qPrintable(QString::number(shown.size())));
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("Text3"))->text(), shown);
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("Text4"))->text(), shown);
        QVERIFY(w.link()->isOpen());
        QVERIFY(dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(TestFlood)
#include "tst_flood.moc"
