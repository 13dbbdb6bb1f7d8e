#pragma once
// The narrow serial-port interface the board link needs. The real one is QSerialPort at 9600 8N1
// without handshake (QtSerialPort.h); tests use a fake or a pseudo-terminal.

#include "platform/Result.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace platine {

class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Opens the device; a failure gives the system's reason. Opening an open port does nothing.
    virtual Status open(const QString &device) = 0;
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

} // namespace platine
