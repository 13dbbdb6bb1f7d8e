#pragma once
// The narrow serial-port interface the board link needs. The real one is QSerialPort at 9600 8N1
// without handshake; tests use a fake or a pseudo-terminal.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

namespace platine {

class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Opens the device; on failure returns false and sets *error to a readable reason.
    virtual bool open(const QString &device, QString *error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Some devices (pseudo-terminals) refuse DTR changes; that is not an error for the program.
    virtual bool setDtr(bool on) = 0;
    virtual qint64 write(const QByteArray &bytes) = 0;
    // Writes out pending output, waiting at most msecs.
    virtual bool flush(int msecs) = 0;
    virtual QByteArray readAll() = 0;

Q_SIGNALS:
    // One notification per burst: bytes have arrived and the line has then been quiet for about
    // 5 ms, or 1024 bytes are waiting.
    void dataReceived();
    // The device went away while open (adapter pulled, other side of a pty closed). The port is
    // already closed when this is emitted.
    void deviceLost(const QString &reason);
};

std::unique_ptr<SerialPort> makeQtSerialPort(QObject *parent = nullptr);

// Which device a port number designates. Linux: COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31,
// COM65-96 /dev/ttyACM0-31; a "Ports" section of param.ini may name another device ("COM3" =
// "/dev/pts/4"). Windows: COMn. Empty for numbers without a device.
QString portDevice(int portNumber, const QString &paramIni);

} // namespace platine
