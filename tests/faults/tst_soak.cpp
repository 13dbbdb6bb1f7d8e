// Guards against: bytes lost or changed, or memory growing, over a long session with the board.
#include "board/BoardLink.h"
#include "board/ClockCommand.h"
#include "platform/QtSerialPort.h"
#include "support/Files.h"
#include "support/HeldMemory.h"
#include "tools/BoardSimulator.h"

#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;

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
        sim.setClockInterval(0); // only answers come back
        const Status started = sim.start();
        QVERIFY2(started, qPrintable(started.reason()));
        QVERIFY(test::putFile(ini, test::portsSection(1, sim.devicePath())));
        BoardLink link(makeQtSerialPort(), ini); // port 1
        QList<QByteArray> decoded;
        QString replies;
        int junk = 0;
        connect(&sim, &BoardSimulator::commandReceived,
                [&decoded](const QByteArray &command) { decoded << command; });
        connect(&sim, &BoardSimulator::junkReceived, [&junk] { ++junk; });
        connect(&link, &BoardLink::replyChanged, [&replies](const QString &t) { replies += t; });

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
                    batch << QByteArray(BoardSimulator::kScheduleCommandSize, 'B');
                    for (int j = 1; j < batch.last().size(); ++j)
                        batch.last()[j] = char((i + j) % 256);
                }
                const auto sent = link.sendToBoard(batch.last());
                QVERIFY2(sent, qPrintable(sent.reason()));
                sentBytes += batch.last().size();
            }
            QTRY_VERIFY_WITH_TIMEOUT(decoded.size() >= batch.size(), 10000);
            QCOMPARE(decoded, batch);
            QTRY_VERIFY_WITH_TIMEOUT(replies.size() >= answers.size(), 10000);
            QCOMPARE(replies, answers);
            decoded.clear();
            replies.clear();
            if (n + kBatch == kWarmUp)
                warmKb = test::heldKb();
        }
        QCOMPARE(junk, 0);
        QCOMPARE(sim.commandCount(), qint64(kCommands));
        QCOMPARE(sim.receivedCount(), sentBytes);
        const qint64 endKb = test::heldKb();
        qInfo("%d commands, %lld bytes sent, all decoded and answered; held %lld kB after %d, "
              "%lld kB at the end (%+lld kB)",
              kCommands, sentBytes, warmKb, kWarmUp, endKb, endKb - warmKb);
        QVERIFY2(endKb - warmKb <= 1024, "memory grew by more than 1 MB");
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
