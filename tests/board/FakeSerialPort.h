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
    // Behaviour
    bool openFails = false;
    QString openError = QStringLiteral("No such file or directory");
    bool dtrFails = true; // like a pseudo-terminal
    qint64 writeLimit = -1; // >= 0: write accepts at most this many bytes

    // Observation
    QStringList calls;   // "open:<device>", "close", "dtr:0", "write:<n>", "flush", "readAll"
    QByteArray pending;  // written, not yet on the line
    QByteArray sent;     // on the line
    QByteArray lostOnClose;
    QString device;
    // Where the call list and the bytes on the line are copied when the fake is destroyed.
    QStringList *callsAtEnd = nullptr;
    QByteArray *sentAtEnd = nullptr;

    ~FakeSerialPort() override
    {
        if (callsAtEnd)
            *callsAtEnd = calls;
        if (sentAtEnd)
            *sentAtEnd = sent;
    }

    bool open(const QString &dev, QString *error) override
    {
        calls << QStringLiteral("open:") + dev;
        if (openFails) {
            if (error)
                *error = openError;
            return false;
        }
        m_open = true;
        device = dev;
        return true;
    }
    void close() override
    {
        calls << QStringLiteral("close");
        lostOnClose += pending;
        pending.clear();
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    bool setDtr(bool on) override
    {
        calls << QStringLiteral("dtr:%1").arg(on ? 1 : 0);
        return m_open && !dtrFails;
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
        QByteArray b;
        b.swap(m_incoming);
        return b;
    }

    // The board sends a burst (lost when the port is closed, as on a real line).
    void receive(const QByteArray &bytes)
    {
        if (!m_open)
            return;
        m_incoming += bytes;
        Q_EMIT dataReceived();
    }
    // The device goes away: closed first, then reported.
    void vanish(const QString &reason)
    {
        m_open = false;
        pending.clear();
        Q_EMIT deviceLost(reason);
    }

private:
    bool m_open = false;
    QByteArray m_incoming;
};

} // namespace platine::test
