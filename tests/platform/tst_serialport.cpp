// Guards against: wrong line settings or bytes, lost notifications, an unseen loss, wrong devices.
#include "platform/PortNumbers.h"
#include "platform/QtSerialPort.h"

#include "support/Files.h"
#include "tools/PseudoTerminal.h"

#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;
using Ports = QMap<int, QString>;

class TestSerialPort : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    const QString m_ini = m_dir.filePath(u"param.ini"_s);

private Q_SLOTS:
    void portOnPseudoTerminal() // 9600 8N1, bytes untouched, close and reopen, bursts, loss
    {
        PseudoTerminal pty;
        QVERIFY(pty.open());
        const std::unique_ptr<SerialPort> port = makeQtSerialPort();
        QCOMPARE(port->open(u"/dev/platine-absent"_s).error().kind, SerialError::NotFound);
        QVERIFY(!port->isOpen());
        const auto opened = port->open(pty.devicePath());
        QVERIFY2(opened, qPrintable(opened.reason()));
        QSignalSpy written(port.get(), &SerialPort::bytesWritten);
        const termios t = pty.settings();
        QCOMPARE(
            (QList<quint64>{cfgetospeed(&t), cfgetispeed(&t), t.c_iflag & (IXON | IXOFF),
                            t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), t.c_lflag & ICANON}),
            (QList<quint64>{B9600, B9600, 0, CS8, 0}));
        port->setDtr(false); // a pty refuses it: no failure, the port stays usable
        const QByteArray bytes("A\x14\x07\x35\x28\x02\x07\x04\r\n\x00\xff\x11\x13", 14);
        QCOMPARE(port->write(bytes), qint64(bytes.size()));
        QElapsedTimer flushing; // done as soon as the bytes are out, not at the time limit
        flushing.start();
        QVERIFY(port->flush(5000));
        QVERIFY2(flushing.elapsed() < 2500, qPrintable(QString::number(flushing.elapsed())));
        QCOMPARE(written.size(), 1); // every byte counted when flushed, and never again
        QCOMPARE(pty.readAtLeast(bytes.size(), 2000), bytes);
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.at(0).at(0).toLongLong(), bytes.size());
        port->close();
        QVERIFY(!port->isOpen() && !port->flush(10) && !port->setDtr(false)
                && port->readAll().isEmpty());
        QCOMPARE(port->write("x"), qint64(-1));
        QVERIFY(port->open(pty.devicePath()) && port->open({})); // open: nothing to do
        QVERIFY(port->write("y") == 1 && port->flush(1000));
        QCOMPARE(pty.readAtLeast(1, 2000), QByteArray("y"));
        QSignalSpy bursts(port.get(), &SerialPort::dataReceived);
        QSignalSpy lost(port.get(), &SerialPort::failed);
        // One notification a burst, a burst of a single byte too.
        for (const QByteArray burst : {"12:34:56 28/02/07\r\n", "6"}) {
            const qsizetype before = bursts.size();
            QCOMPARE(pty.write(burst), qint64(burst.size()));
            QVERIFY(bursts.wait(2000));
            QCOMPARE(port->readAll(), burst);
            QTest::qWait(50);
            QCOMPARE(bursts.size(), before + 1);
        }
        pty.close(); // the device vanishes: reported as an error of the device, once
        QVERIFY(lost.wait(3000));
        QTest::qWait(50);
        QCOMPARE(lost.size(), 1);
        const auto failure = lost.at(0).at(0).value<SerialFailure>();
        QVERIFY(failure.kind == SerialError::Resource || failure.kind == SerialError::Read);
    }
    void portNumbers() // the usual numbering both ways; "Ports" entries come first
    {
        QStringList usual;
        for (int n : {0, 1, 32, 33, 64, 65, 96, 97})
            usual << portDevice(n, QString());
        QCOMPARE(usual,
                 (QStringList{"", "/dev/ttyS0", "/dev/ttyS31", "/dev/ttyUSB0", "/dev/ttyUSB31",
                              "/dev/ttyACM0", "/dev/ttyACM31", ""}));
        for (int n = 1; n <= 96; ++n)
            QCOMPARE(portNumberForDevice(portDevice(n, QString()), Ports{}), n);
        const QString usb0 = u"/dev/ttyUSB0"_s, pts = u"/dev/pts/4"_s, none = u"/none"_s;
        QCOMPARE(portNumberForDevice(QString(), Ports{}), 0);
        QCOMPARE(portNumberForDevice(pts, Ports{{9, pts}, {4, pts}}), 4);
        QCOMPARE(portNumberForDevice(usb0, Ports{{5, usb0}}), 5);
        QCOMPARE(portNumberForDevice(usb0, Ports{{33, pts}}), 0); // its number is taken
        QCOMPARE(portNumberForDevice(usb0, Ports{{3, pts}}), 33);
        QCOMPARE(portNumberForDevice(none + u'a', Ports{{3, none + u'b'}}), 0);
        // A device without a number is not offered; a description follows the device's name.
        QCOMPARE(portSuggestions({{u"/dev/rfcomm0"_s, {}}, {usb0, u" FT232R "_s}}, Ports{}),
                 (QList<InputSuggestion>{{u"33 — /dev/ttyUSB0 — FT232R"_s, u"33"_s}}));
    }
    void portsSection() // param.ini's "Ports" entries, read as profile entries: its first section
    {
        const QString ini = m_ini, link = m_dir.filePath(u"by-id"_s);
        const QString id = u"/dev/serial/by-id/usb-logger-if00"_s;
        QVERIFY(test::putFile(ini,
                              "[X]\r\nCOM9=/x\r\n[ports]\r\ncom3 = " + ini.toUtf8() + " \r\nCOM7='"
                                  + id.toUtf8() + "'\r\nCOM8=\r\nCOM0=/y\r\nCOM32767=/none\r\n"
                                  + "COM32768=/z\r\n[Ports]\r\nCOM9=/w\r\n"));
        QCOMPARE(portOverrides(ini), (Ports{{3, ini}, {7, id}, {32767, u"/none"_s}}));
        QVERIFY(QFile::link(ini, link)); // an entry naming a link designates its target
        QCOMPARE(portNumberForDevice(link, ini), 3);
    }
    void portKeys_data() // leading zeros in "Ports" keys; the first key of a number wins
    {
        QTest::addColumn<QString>("ini");     // its lines, "|" between them
        QTest::addColumn<QString>("port3");   // what port 3 opens
        QTest::addColumn<QString>("chooser"); // what the chooser reads, "<number>=<device>;..."
        // clang-format off
        QTest::newRow("zeros, lower case") << "[ports]| com0003 = /p" << "/p" << "3=/p";
        QTest::newRow("first key empty") << "[Ports]|COM03=|COM3=/a" << "/dev/ttyS2" << "";
        QTest::newRow("not a port key") << "[Ports]|COM3X=/x|COM 3=/y" << "/dev/ttyS2" << "";
        // clang-format on
    }
    void portKeys()
    {
        QFETCH(QString, ini);
        QFETCH(QString, port3);
        QFETCH(QString, chooser);
        QVERIFY(test::putFile(m_ini, ini.replace(u'|', u"\r\n"_s).toUtf8() + "\r\n"));
        QCOMPARE(portDevice(3, m_ini), port3);
        QCOMPARE(portNumberForDevice(port3, m_ini), 3); // and back, as the chooser offers it
        QStringList read;
        const Ports overrides = portOverrides(m_ini);
        for (const auto &[number, device] : overrides.asKeyValueRange())
            read << QString::number(number) + u'=' + device;
        QCOMPARE(read.join(u';'), chooser);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
