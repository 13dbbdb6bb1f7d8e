#pragma once
// A scripted serial port for board-link tests: records every call, keeps written bytes pending
// until flushed (so output lost by a close without flush shows), and lets a test play the board.

#include "platform/SerialPort.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platine::test {

class FakeSerialPort : public SerialPort
{
public:
    bool openFails = false;
    qint64 writeLimit = -1; // >= 0: write accepts at most this many bytes

    QStringList calls;  // "open:<device>", "close", "dtr:0", "write:<n>", "flush", "readAll"
    QByteArray pending; // written, not yet on the line
    QByteArray sent;    // on the line
    // The calls and the bytes on the line of the last fake destroyed.
    static inline QStringList callsAtEnd;
    static inline QByteArray sentAtEnd;

    ~FakeSerialPort() override
    {
        callsAtEnd = calls;
        sentAtEnd = sent;
    }

    bool open(const QString &dev, QString *error) override
    {
        calls << QStringLiteral("open:") + dev;
        if (openFails)
            *error = QStringLiteral("Permission denied");
        return m_open = !openFails;
    }
    void close() override
    {
        calls << QStringLiteral("close");
        pending.clear();
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    bool setDtr(bool on) override
    {
        calls << QStringLiteral("dtr:%1").arg(on ? 1 : 0);
        return false; // like a pseudo-terminal
    }
    qint64 write(const QByteArray &bytes) override
    {
        calls << QStringLiteral("write:%1").arg(bytes.size());
        if (!m_open)
            return -1;
        const qint64 n = writeLimit >= 0 ? qMin<qint64>(writeLimit, bytes.size()) : bytes.size();
        pending += bytes.first(n);
        return n;
    }
    bool flush(int) override
    {
        calls << QStringLiteral("flush");
        sent += pending;
        pending.clear();
        return m_open;
    }
    QByteArray readAll() override
    {
        calls << QStringLiteral("readAll");
        return std::exchange(m_incoming, {});
    }

    // The board sends a burst (lost when the port is closed, as on a real line).
    void receive(const QByteArray &bytes)
    {
        if (!m_open)
            return;
        m_incoming += bytes;
        Q_EMIT dataReceived();
    }

private:
    bool m_open = false;
    QByteArray m_incoming;
};

} // namespace platine::test
