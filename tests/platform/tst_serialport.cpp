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
    void suggestedPorts() // a device without a number is not offered; a description follows it
    {
        for (int n = 1; n <= 96; ++n)
            QCOMPARE(portNumberForDevice(portDevice(n, QString()), Ports{}), n);
        const QString usb0 = u"/dev/ttyUSB0"_s;
        QCOMPARE(portSuggestions({{u"/dev/rfcomm0"_s, {}}, {usb0, u" FT232R "_s}}, Ports{}),
                 (QList<InputSuggestion>{{u"33 — /dev/ttyUSB0 — FT232R"_s, u"33"_s}}));
    }
    void portLink() // a "Ports" entry naming a link designates its target
    {
        const QString link = m_dir.filePath(u"by-id"_s);
        QVERIFY(test::putFile(m_ini, "[Ports]\r\nCOM3=" + m_ini.toUtf8() + "\r\n"));
        QVERIFY(QFile::link(m_ini, link));
        QCOMPARE(portNumberForDevice(link, m_ini), 3);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
