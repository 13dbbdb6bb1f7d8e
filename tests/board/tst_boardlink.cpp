// Guards against: wrong clock bytes, a wrong port number, DTR left on, lost output, a command told
// sent before its last byte left or never told failed, a lost device untold or told twice.
#include "board/BoardLink.h"
#include "board/ClockCommand.h"
#include "platform/QtSerialPort.h"
#include "support/FakeSerialPort.h"
#include "support/Fetch.h"
#include "support/Files.h"
#include "tools/PseudoTerminal.h"
#include <QtTest>
using namespace platine;
using namespace Qt::StringLiterals;
using enum ClockField;
using platine::test::fetch;
class TestBoardLink : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_ini = m_dir.filePath(u"param.ini"_s);
    QStringList m_log; // what the link reported
    std::unique_ptr<BoardLink> m_link;
    test::FakeSerialPort *m_fake = nullptr;
    void makeLink(std::unique_ptr<SerialPort> port = std::make_unique<test::FakeSerialPort>())
    {
        m_fake = dynamic_cast<test::FakeSerialPort *>(port.get());
        m_link = std::make_unique<BoardLink>(std::move(port), m_ini);
        auto log = [this](const QVariant &v) { m_log << v.toString(); };
        connect(m_link.get(), &BoardLink::openChanged, this, log);
        connect(m_link.get(), &BoardLink::replyChanged, this, log);
        connect(m_link.get(), &BoardLink::portLost, this, [this] { m_log << u"lost"_s; });
        connect(m_link.get(), &BoardLink::commandSent, this,
                [this](CommandId c) { m_log << u"sent %1"_s.arg(c); });
        connect(m_link.get(), &BoardLink::commandFailed, this,
                [this](CommandId c, const LinkFailure &f) {
                    m_log << u"failed %1: %2 %3/%4"_s.arg(c)
                                 .arg(int(f.kind))
                                 .arg(f.bytesOut)
                                 .arg(f.bytes);
                });
    }
    QString failed(LinkProblem kind, qint64 out, qint64 bytes, CommandId c = 1) const
    {
        return u"failed %1: %2 %3/%4"_s.arg(c).arg(int(kind)).arg(out).arg(bytes);
    }
private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        QFile::remove(m_ini);
        m_log = {};
        makeLink();
    }
    void clockCommand() // the first field refused, and the eight bytes
    {
        // clang-format off
        const struct { const char *f; std::optional<ClockField> w; QByteArray hex = {}; } rows[] = {
            {"14|07|35|28|02|2007|Mercredi", {}, "4114073528020704"},
            {"23|59|59|31|12|1999|Samedi", {}, "4123595931129907"},
            {"123|00 min|00s|01/|01/|20251|Jeudi", {}, "4112000001012505"}, // the rest unread
            {"00|00|00|28|02|2000|Mercredi", {}}, {"24|07|35|28|02|2007|Mercredi", Hours},
            {"14|60|35|28|02|2007|Mercredi", Minutes}, {"14|07|60|28|02|2007|Mercredi", Seconds},
            {"14|07|35|00|02|2007|Mercredi", Day}, {"14|07|35|32|02|2007|Mercredi", Day},
            {"14|07|35|28|00|2007|Mercredi", Month}, {"14|07|35|28|13|2007|Mercredi", Month},
            {"14|07|35|28|02|20O7|Mercredi", Year}, {"14|07|35|28|02|2007|mercredi", Weekday},
            {"14|07|35|28|02|20a|Mercredi", Year, "4114073528020004"}}; // what is unread counts 0
        // clang-format on
        for (const auto &r : rows) {
            const QStringList t = QString::fromUtf8(r.f).split(u'|');
            const ClockFields f{t[0], t[1], t[2], t[3], t[4], t[5], t[6]};
            QVERIFY2(invalidClockField(f) == r.w, r.f);
            QVERIFY2(r.hex.isEmpty() || encodeClockCommand(f).toHex() == r.hex, r.f);
        }
        const QDateTime sunday(QDate(2007, 3, 4), QTime(9, 5, 3)); // Sunday: day 1, Saturday: 7
        QCOMPARE(encodeClockCommand(clockFieldsFrom(sunday)).toHex(), "4109050304030701");
        QCOMPARE(encodeClockCommand(clockFieldsFrom(sunday.addDays(6))).toHex(),
                 "4109050310030707");
    }
    void portNumber() // the setting's leading number (19 characters), the answer in the box, open
    {
        // clang-format off
        for (auto [v, p] : {std::pair{"0", 1}, {"abc", 1}, {"0000000000000000000007", 1},
                            {"4 et la suite", 4}, {"0000000000000000007", 7}, {"-2", 7}, {"", 7}}) {
            // clang-format on
            QVERIFY(*v ? test::putFile(m_ini, "[port com]\r\nVALEUR=" + QByteArray(v))
                       : QFile::remove(m_ini));
            m_link->loadPortSetting();
            QVERIFY2(m_link->portNumber() == p, v); // unusable or missing: the number is kept
        }
        // clang-format off
        for (auto [a, p] : {std::pair{" \t7 ", 7}, {"+4", 4}, {"2.6", 3}, {"2.5", 2}, {"1", 1},
                            {"32767", 32767}, {"32768", 0}, {"0.5", 0}, {"3,5", 0}, {"3\n[x]", 0}})
            // clang-format on
            QVERIFY2(portNumberFromAnswer(QString::fromLatin1(a)) == p, a);
        QLocale::setDefault(QLocale(QLocale::French)); // the locale's separator besides "."
        QVERIFY(portNumberFromAnswer(u"3,6"_s) == 4 && portNumberFromAnswer(u"5.5"_s) == 6);
        QCOMPARE(m_link->changePortNumber(u"abc"_s).answer.error().kind, LinkProblem::NotANumber);
        const BoardLink::PortChange taken = m_link->changePortNumber(u" 2.6"_s);
        QVERIFY(taken.answer && taken.stored && m_link->portNumber() == 3);
        QCOMPARE(test::fileBytes(m_ini), "[Port COM]\r\nvaleur= 2.6\r\n"); // as typed
        makeLink(); // the next start reads the same number back; no change while open
        m_link->loadPortSetting();
        QVERIFY(m_link->openPort());
        QCOMPARE(m_link->changePortNumber(u"4"_s).answer.error().kind, LinkProblem::PortOpen);
        QCOMPARE(m_link->portNumber(), 3);
    }
    void openSendReceiveClose() // DTR off right after every open; each command restarts the 4.5 s
    {
        QVERIFY(m_link->openPort() && m_link->openPort());
        m_link->closePort();
        QCOMPARE(*m_link->sendToBoard("A1234567"), 1u); // opens again; DTR refused: no matter
        QTest::qWait(500);
        QCOMPARE(*m_link->sendToBoard("B"), 2u);
        QVERIFY(!m_link->autoCloseTimer()->isActive()); // it counts from the last byte out
        QTRY_VERIFY(m_link->autoCloseTimer()->remainingTime() > 4000);
        QCOMPARE(m_fake->calls.join(u' '),
                 u"open:/dev/ttyS0 dtr:0 flush close open:/dev/ttyS0 "
                 "dtr:0 dtr:0 write:8 dtr:0 write:1"_s);
        QCOMPARE(m_fake->sent, "A1234567B");
        Q_EMIT m_fake->dataReceived(); // nothing waiting: no reply
        m_fake->receive("12:3");       // replies as they come
        m_link->clearReply();
        m_fake->writeLimit = 1; // the port takes one byte of two: the command fails at once
        QCOMPARE(m_link->sendToBoard("B2").error().kind, LinkProblem::WriteFailed);
        QVERIFY(!m_link->isOpen() && !m_link->autoCloseTimer()->isActive());
        QCOMPARE(m_log,
                 QStringList({"true", "false", "true", "sent 1", "sent 2", "12:3", "", "false"}));
        QCOMPARE(journal(), u"S A1234567|S B|R 12:3|N B2"_s);
    }
    QString journal() const // each entry: Sent, Not sent or Received, and its bytes
    {
        QStringList entries;
        for (const JournalEntry &e : m_link->journal())
            entries << u"SNR"_s.at(int(e.kind)) + u' ' + QString::fromLatin1(e.bytes);
        return entries.join(u'|');
    }
    void delivery_data() // sent once its last byte has left; 1 s + 2 ms a byte, else a failure
    {
        QTest::addColumn<int>("atOnce"); // bytes that leave at once
        QTest::addColumn<int>("later");  // then, 300 ms later (-1: all the rest)
        QTest::addColumn<int>("error");  // then a write error (1) or nothing (0)
        QTest::addColumn<QString>("outcome");
        QTest::newRow("late") << 0 << -1 << 0 << u"sent 1"_s;
        QTest::newRow("the last byte alone") << 7 << -1 << 0 << u"sent 1"_s;
        QTest::newRow("never") << 0 << 0 << 0 << failed(LinkProblem::TimedOut, 0, 8);
        QTest::newRow("half, then nothing") << 4 << 0 << 0 << failed(LinkProblem::TimedOut, 4, 8);
        QTest::newRow("write error") << 2 << 0 << 1 << failed(LinkProblem::WriteFailed, 2, 8);
    }
    void delivery()
    {
        QFETCH(int, later);
        m_fake->leaveAtOnce = false;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(m_link->sendToBoard("A1234567"));
        m_fake->drain(fetch<int>("atOnce"));
        QTest::qWait(300);
        QVERIFY(m_link->sending() && !m_link->autoCloseTimer()->isActive());
        QCOMPARE(m_log, QStringList({"true"})); // neither sent nor failed yet
        m_fake->drain(later);
        if (fetch<int>("error"))
            Q_EMIT m_fake->failed({SerialError::Write, u"Input/output error"_s});
        QTRY_VERIFY_WITH_TIMEOUT(m_log.size() > 1, 2000);
        QTEST(m_log.last(), "outcome");
        const bool sent = m_log.last().startsWith(u"sent");
        QCOMPARE(m_link->isOpen(), sent);
        QCOMPARE(m_link->autoCloseTimer()->isActive(), sent); // the 4.5 s from the last byte out
        QCOMPARE(journal(), (sent ? u"S "_s : u"N "_s) + u"A1234567"_s);
        if (m_log.last().contains(u": %1 "_s.arg(int(LinkProblem::TimedOut))))
            QVERIFY2(clock.elapsed() >= BoardLink::deliveryLimitMs(8),
                     qPrintable(QString::number(clock.elapsed())));
        if (!sent) { // the port was closed dropping what had not left; the next command opens it
            QCOMPARE(m_fake->calls.filter(u"abort"_s).size(), 1);
            m_fake->leaveAtOnce = true;
            QVERIFY(m_link->sendToBoard("B"));
            QCOMPARE(m_fake->calls.filter(u"open:"_s).size(), 2);
            QTRY_COMPARE(m_log.last(), u"sent 2"_s);
        }
    }
    void portErrors_data() // what each error of an open port means, on Linux and Windows alike
    {
        QTest::addColumn<SerialError>("error");
        QTest::addColumn<QString>("told"); // to the windows, once; "": nothing, the port open
        const QString gone = u"false|"_s + failed(LinkProblem::DeviceLost, 0, 1) + u"|lost"_s;
        QTest::newRow("access (adapter pulled, Windows)") << SerialError::Permission << gone;
        QTest::newRow("resource, aborted operation") << SerialError::Resource << gone;
        QTest::newRow("end of the line (Linux)") << SerialError::Read << gone;
        QTest::newRow("stuck write (Windows)") << SerialError::Timeout << gone;
        QTest::newRow("write") << SerialError::Write
                               << u"false|"_s + failed(LinkProblem::WriteFailed, 0, 1);
        QTest::newRow("other") << SerialError::Other << u""_s;
    }
    void portErrors()
    {
        m_fake->leaveAtOnce = false;
        QVERIFY(m_link->sendToBoard("B"));
        for (int i = 0; i < 2; ++i) // reported twice, told once
            Q_EMIT m_fake->failed({fetch<SerialError>("error"), u"gone"_s});
        QTest::qWait(20);
        QTEST(m_log.mid(1).join(u'|'), "told"); // after the opening
        QCOMPARE(m_link->isOpen(), !m_log.contains(u"false"_s));
        m_fake->openFails = true; // until it opens again, the device is said unplugged
        if (m_log.contains(u"lost"_s))
            QCOMPARE(m_link->sendToBoard("B").error().kind, LinkProblem::Unplugged);
    }
    void outputReachesThePort() // on a pseudo-terminal: flushed at closing and at the link's end
    {
        PseudoTerminal pty;
        QVERIFY(pty.open() && test::putFile(m_ini, test::portsSection(1, pty.devicePath())));
        makeLink(makeQtSerialPort());
        const QByteArray schedule = "B" + QByteArray(124, 1);
        QVERIFY(m_link->sendToBoard(schedule));
        m_link->closePort(); // before the event loop has written anything
        QCOMPARE(m_log, QStringList({"true", "sent 1", "false"}));
        QVERIFY(m_link->sendToBoard("\x07"));
        m_link.reset();
        QCOMPARE(pty.readAtLeast(126, 5000), schedule + "\x07");
    }
};
QTEST_GUILESS_MAIN(TestBoardLink)
#include "tst_boardlink.moc"
