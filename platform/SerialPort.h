#pragma once
// The narrow serial-port interface the board link needs. The real one is QSerialPort at 9600 8N1
// without handshake (QtSerialPort.h); tests use a fake or a pseudo-terminal.

#include "platform/Result.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace platine {

// What went wrong with a serial port, as the serial layer names it. What it means for the program
// (a device gone, a command that did not leave) is the board link's to decide.
enum class SerialError {
    NotFound,   // no such device
    Permission, // access refused; on Windows also a device that went away while open
    Resource,   // the device stopped answering (an adapter pulled, an aborted operation)
    Read,       // a read failed, or found the end of the line (a pty whose other side closed)
    Write,      // a write failed
    Timeout,    // a wait ran out; on Windows, a write that does not complete
    Other,      // anything else: the system's words tell
};

struct SerialFailure {
    SerialError kind = SerialError::Other;
    QString reason; // the system's words
};

class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Opens the device. Opening an open port does nothing.
    virtual Result<Done, SerialFailure> open(const QString &device) = 0;
    // Closes the port; what has been written and not yet taken by the system may be lost (flush()
    // first to let it out).
    virtual void close() = 0;
    // Closes the port at once, dropping what has not left yet, even from the system's own buffer:
    // a stuck line never holds the program up, and the next opening starts clean.
    virtual void abort() = 0;
    virtual bool isOpen() const = 0;
    // Some devices (pseudo-terminals) refuse DTR changes; that is not an error for the program.
    virtual bool setDtr(bool on) = 0;
    // Queues the bytes for sending and returns how many were queued (-1 when the port is closed).
    // They have left once bytesWritten() has counted them.
    virtual qint64 write(const QByteArray &bytes) = 0;
    // Writes out pending output, waiting at most msecs.
    virtual bool flush(int msecs) = 0;
    virtual QByteArray readAll() = 0;

Q_SIGNALS:
    // One notification per burst: bytes have arrived and the line has then been quiet for about
    // 5 ms, or 1024 bytes are waiting.
    void dataReceived();
    // `count` more of the written bytes have left: the system has taken them for the line.
    void bytesWritten(qint64 count);
    // Something went wrong while the port was open, as the serial layer reports it.
    void failed(const SerialFailure &failure);
};

} // namespace platine
