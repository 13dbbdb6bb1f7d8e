// Guards against: wrong clock bytes, a wrong port number, DTR left on, lost output, wrong texts.
#include "board/BoardLink.h"
#include "board/ClockCommand.h"
#include "platform/QtSerialPort.h"
#include "support/FakeSerialPort.h"
#include "support/Files.h"
#include "tools/PseudoTerminal.h"
#include <QtTest>
using namespace platine;
using namespace Qt::StringLiterals;
using enum ClockField;
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
        connect(m_link.get(), &BoardLink::replyReceived, this, log);
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
        QCOMPARE(m_link->changePortNumber(u"abc"_s).answer.reason(),
                 u"« abc » n'est pas un numéro de port (un nombre de 1 à 32767)."_s);
        const BoardLink::PortChange taken = m_link->changePortNumber(u" 2.6"_s);
        QVERIFY(taken.answer && taken.stored && m_link->portNumber() == 3);
        QCOMPARE(test::fileBytes(m_ini), "[Port COM]\r\nvaleur= 2.6\r\n"); // as typed
        makeLink(); // the next start reads the same number back; no change while open
        m_link->loadPortSetting();
        QVERIFY(m_link->openPort());
        QCOMPARE(m_link->changePortNumber(u"4"_s).answer.reason(),
                 u"Le port COM3 (/dev/ttyS2) est ouvert : fermez-le avant de changer de numéro."_s);
        QCOMPARE(m_link->portNumber(), 3);
    }
    void openSendReceiveClose() // DTR off right after every open; each command restarts the 4.5 s
    {
        QVERIFY(m_link->openPort() && m_link->openPort());
        m_link->closePort();
        QVERIFY(m_link->sendToBoard("A1234567")); // opens again; DTR refused: no matter
        QTest::qWait(500);
        QVERIFY(m_link->sendToBoard("B"));
        const int left = m_link->autoCloseTimer()->remainingTime(); // 4.5 s from the last command
        QVERIFY2(left > 4000 && left <= 4500, qPrintable(QString::number(left)));
        QCOMPARE(m_fake->calls.join(u' '),
                 u"open:/dev/ttyS0 dtr:0 flush close open:/dev/ttyS0 "
                 "dtr:0 dtr:0 write:8 dtr:0 write:1"_s);
        m_link->flushPending(); // before the program quits
        QCOMPARE(m_fake->sent, "A1234567B");
        Q_EMIT m_fake->dataReceived(); // nothing waiting: no reply
        m_fake->receive("12:3");       // replies as they come
        m_fake->writeLimit = 1;
        m_link->autoCloseTimer()->setInterval(30);
        QCOMPARE(m_link->sendToBoard("B2").reason(),
                 u"Échec de l'envoi sur le port COM1 (/dev/ttyS0)."_s);
        QTRY_VERIFY(!m_link->isOpen()); // the auto-close still comes, and flushes first
        QCOMPARE(m_fake->sent, "A1234567BB");
        Q_EMIT m_fake->deviceLost(u"câble"_s);
        QCOMPARE(m_log, QStringList({"true", "false", "true", "12:3", "false", "false"}));
    }
    void outputReachesThePort() // on a pseudo-terminal: flushed at closing and at the link's end
    {
        PseudoTerminal pty;
        QVERIFY(pty.open() && test::putFile(m_ini, test::portsSection(1, pty.devicePath())));
        makeLink(makeQtSerialPort());
        const QByteArray schedule = "B" + QByteArray(124, 1);
        QVERIFY(m_link->sendToBoard(schedule));
        m_link->closePort();
        QVERIFY(m_link->sendToBoard("\x07"));
        m_link.reset();
        QCOMPARE(pty.readAtLeast(126, 5000), schedule + "\x07");
    }
};
QTEST_GUILESS_MAIN(TestBoardLink)
#include "tst_boardlink.moc"
