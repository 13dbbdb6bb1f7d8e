#include "platform/PortNumbers.h"
#include "platform/QtSerialPort.h"

#include "common/Files.h"
#include "common/Pty.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;

class TestSerialPort : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::Pty> m_pty;
    std::unique_ptr<SerialPort> m_port;

    void openOnPty()
    {
        m_pty = std::make_unique<test::Pty>();
        QVERIFY(m_pty->isValid());
        m_port = makeQtSerialPort();
        QString error;
        QVERIFY2(m_port->open(m_pty->devicePath(), &error), qPrintable(error));
    }

private Q_SLOTS:
    void cleanup()
    {
        m_port.reset();
        m_pty.reset();
    }

    void portDevice_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("paramIni");
        QTest::addColumn<QString>("device");
        using QTest::newRow;
        newRow("COM1") << 1 << QByteArray() << "/dev/ttyS0";
        newRow("COM32") << 32 << QByteArray() << "/dev/ttyS31";
        newRow("COM33") << 33 << QByteArray() << "/dev/ttyUSB0";
        newRow("COM65") << 65 << QByteArray() << "/dev/ttyACM0";
        newRow("COM96") << 96 << QByteArray() << "/dev/ttyACM31";
        newRow("COM97") << 97 << QByteArray() << "";
        newRow("COM0") << 0 << QByteArray() << "";
        newRow("named") << 3 << QByteArray("[ports]\r\ncom3 = /dev/pts/4 \r\n") << "/dev/pts/4";
        newRow("long name not cut")
            << 7 << QByteArray("[Ports]\r\nCOM7=/dev/serial/by-id/usb-logger-board-if00\r\n")
            << "/dev/serial/by-id/usb-logger-board-if00";
        newRow("COM3 named") << 2 << QByteArray("[Ports]\r\nCOM3=/dev/pts/4\r\n") << "/dev/ttyS1";
        newRow("empty name ignored") << 2 << QByteArray("[Ports]\r\nCOM2=\r\n") << "/dev/ttyS1";
        newRow("names beyond 96") << 200 << QByteArray("[Ports]\r\nCOM200=/dev/x\r\n") << "/dev/x";
    }

    void portDevice()
    {
        QFETCH(int, number);
        QFETCH(QByteArray, paramIni);
        QFETCH(QString, device);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("param.ini"));
        QVERIFY(paramIni.isEmpty() || test::putFile(path, paramIni));
        QCOMPARE(platine::portDevice(number, path), device);
    }

    void lineSettingsWriteCloseAndReopen()
    {
        openOnPty();
        const termios t = m_pty->settings();
        QCOMPARE(cfgetospeed(&t), speed_t(B9600));
        QCOMPARE(cfgetispeed(&t), speed_t(B9600));
        QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
        QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
        QCOMPARE(t.c_lflag & ICANON, tcflag_t(0)); // bytes pass untouched
        m_port->setDtr(false); // a pseudo-terminal refuses it; the port stays usable
        QVERIFY(m_port->isOpen());
        // No translation of line ends, no flow-control bytes.
        const QByteArray bytes("A\x14\x07\x35\x28\x02\x07\x04\r\n\x00\xff\x11\x13", 14);
        QCOMPARE(m_port->write(bytes), qint64(bytes.size()));
        QVERIFY(m_port->flush(1000));
        QCOMPARE(m_pty->readAtLeast(bytes.size(), 2000), bytes);
        m_port->close();
        QVERIFY(!m_port->isOpen());
        QCOMPARE(m_port->write("x"), qint64(-1));
        QString error;
        QVERIFY2(m_port->open(m_pty->devicePath(), &error), qPrintable(error));
        QCOMPARE(m_port->write("y"), qint64(1));
        QVERIFY(m_port->flush(1000));
        QCOMPARE(m_pty->readAtLeast(1, 2000), QByteArray("y"));
    }

    void oneNotificationPerBurst()
    {
        openOnPty();
        QSignalSpy spy(m_port.get(), &SerialPort::dataReceived);
        QCOMPARE(m_pty->write("12:34:56 28/02/07\r\n"), qint64(19));
        QVERIFY(spy.wait(2000));
        QCOMPARE(m_port->readAll(), QByteArray("12:34:56 28/02/07\r\n"));
        QTest::qWait(50);
        QCOMPARE(spy.size(), 1);
        // A later burst is a new notification with only its own bytes.
        QCOMPARE(m_pty->write("4:56"), qint64(4));
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(m_port->readAll(), QByteArray("4:56"));
    }

    void deviceVanishes()
    {
        openOnPty();
        QSignalSpy spy(m_port.get(), &SerialPort::deviceLost);
        bool openWhenLost = true;
        connect(m_port.get(), &SerialPort::deviceLost, this,
                [&] { openWhenLost = m_port->isOpen(); });
        m_pty->close();
        QVERIFY(spy.wait(3000));
        QVERIFY(!spy.at(0).at(0).toString().isEmpty());
        QVERIFY(!openWhenLost);
        QTest::qWait(50);
        QCOMPARE(spy.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
