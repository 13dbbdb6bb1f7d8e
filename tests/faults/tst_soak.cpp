// Guards against: bytes lost or changed, or memory growing, over a long session with the board.
#include "board/BoardLink.h"
#include "board/ClockCommand.h"
#include "platform/QtSerialPort.h"
#include "support/Files.h"
#include "tools/BoardSimulator.h"

#include <QtTest>

#include <malloc.h>

using namespace platine;
using namespace Qt::StringLiterals;

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

// Resident, or allocated under AddressSanitizer (freed blocks wait in its quarantine).
static qint64 heldKb()
{
    if (&__sanitizer_get_current_allocated_bytes)
        return qint64(__sanitizer_get_current_allocated_bytes() / 1024);
    ::malloc_trim(0);
    const QByteArray status = test::fileBytes(u"/proc/self/status"_s);
    return status.mid(status.indexOf("VmRSS:") + 6).trimmed().split(' ').first().toLongLong();
}

class TestSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Clock and schedule commands in turn, in batches, through the program's own link: the
    // simulator decodes each one as sent and answers every clock command, and after a warm-up
    // the process holds no more than 1 MB more at the end.
    void tenThousandCommands()
    {
        constexpr int kCommands = 10000, kBatch = 50, kWarmUp = 1000;
        QTemporaryDir dir;
        const QString ini = dir.filePath(u"param.ini"_s);
        BoardSimulator sim;
        const Status started = sim.start();
        QVERIFY2(started, qPrintable(started.reason()));
        sim.setClockInterval(0); // only answers come back
        QVERIFY(test::putFile(ini, sim.paramIniLines(1).join(u"\r\n").toLocal8Bit()));
        BoardLink link(makeQtSerialPort(), ini); // port 1
        QList<QByteArray> decoded;
        QString replies;
        int junk = 0;
        connect(&sim, &BoardSimulator::commandReceived,
                [&decoded](const QByteArray &command) { decoded << command; });
        connect(&sim, &BoardSimulator::junkReceived, [&junk] { ++junk; });
        connect(&link, &BoardLink::replyReceived, [&replies](const QString &t) { replies += t; });

        const QDateTime start(QDate(2024, 1, 7), QTime(8, 0, 0));
        qint64 sentBytes = 0, warmKb = 0;
        for (int n = 0; n < kCommands; n += kBatch) {
            QList<QByteArray> batch;
            QString answers;
            for (int i = n; i < n + kBatch; ++i) {
                if (i % 2 == 0) {
                    const QDateTime time = start.addSecs(i * 37);
                    batch << encodeClockCommand(clockFieldsFrom(time));
                    answers += u"Heure reglee : "_s + BoardSimulator::clockText(time) + u"\r\n"_s;
                } else { // every byte value in turn after the letter
                    QByteArray schedule(BoardSimulator::kScheduleCommandSize, 'B');
                    for (int j = 1; j < schedule.size(); ++j)
                        schedule[j] = char((i + j) % 256);
                    batch << schedule;
                }
            }
            for (const QByteArray &command : batch) {
                const Status sent = link.sendToBoard(command);
                QVERIFY2(sent, qPrintable(sent.reason()));
                sentBytes += command.size();
            }
            QTRY_VERIFY_WITH_TIMEOUT(decoded.size() >= batch.size(), 10000);
            QCOMPARE(decoded, batch);
            QTRY_VERIFY_WITH_TIMEOUT(replies.size() >= answers.size(), 10000);
            QCOMPARE(replies, answers);
            decoded.clear();
            replies.clear();
            if (n + kBatch == kWarmUp)
                warmKb = heldKb();
        }
        QCOMPARE(junk, 0);
        QCOMPARE(sim.commandCount(), qint64(kCommands));
        QCOMPARE(sim.receivedCount(), sentBytes);
        const qint64 endKb = heldKb();
        qInfo("%d commands, %lld bytes sent, all decoded and answered; held %lld kB after %d, "
              "%lld kB at the end (%+lld kB)",
              kCommands, sentBytes, warmKb, kWarmUp, endKb, endKb - warmKb);
        QVERIFY2(endKb - warmKb <= 1024, "memory grew by more than 1 MB");
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
