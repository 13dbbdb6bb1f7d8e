#pragma once
// A scripted serial port: records calls, plays the line (bytes leaving at once, late or never)
// and the board.
#include "platform/SerialPort.h"
#include <QStringList>
#include <QTimer>
namespace platine::test {
using namespace Qt::StringLiterals;
class FakeSerialPort : public SerialPort
{
public:
    bool openFails = false;
    bool leaveAtOnce = true;  // written bytes leave by themselves, else only through drain()
    qint64 writeLimit = -1;   // >= 0: write accepts at most this many bytes
    QStringList calls;        // "open:<device>", "close", "abort", "dtr:0", "write:<n>", "flush"
    QByteArray pending, sent; // written but not yet gone; gone (counted by bytesWritten)
    Result<Done, SerialFailure> open(const QString &device) override
    {
        calls << u"open:"_s + device;
        m_open = m_open || !openFails;
        if (openFails)
            return SerialFailure{SerialError::Other, u"Permission denied"_s};
        return Done{};
    }
    void close() override
    {
        calls << u"close"_s;
        pending.clear();
        m_open = false;
    }
    void abort() override
    {
        calls << u"abort"_s;
        pending.clear();
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    bool setDtr(bool on) override // refused, as a pseudo-terminal does
    {
        calls << u"dtr:%1"_s.arg(int(on));
        return false;
    }
    qint64 write(const QByteArray &bytes) override
    {
        calls << u"write:%1"_s.arg(bytes.size());
        const qint64 n = writeLimit >= 0 ? qMin<qint64>(writeLimit, bytes.size()) : bytes.size();
        pending += bytes.first(m_open ? n : 0);
        if (m_open && leaveAtOnce) // counted later, from the event loop, as a real port does
            QTimer::singleShot(0, this, [this] { drain(); });
        return m_open ? n : -1;
    }
    bool flush(int) override
    {
        calls << u"flush"_s;
        if (leaveAtOnce)
            drain();
        return m_open && pending.isEmpty();
    }
    QByteArray readAll() override
    {
        calls << u"readAll"_s;
        return std::exchange(m_in, {});
    }
    void drain(qint64 count = -1) // that many of the pending bytes leave (all of them: -1)
    {
        const QByteArray gone = pending.first(count < 0 ? pending.size() : count);
        pending.remove(0, gone.size());
        sent += gone;
        if (!gone.isEmpty())
            Q_EMIT bytesWritten(gone.size());
    }
    void receive(const QByteArray &bytes) // the board sends a burst, lost while the port is closed
    {
        if (!m_open)
            return;
        m_in += bytes;
        Q_EMIT dataReceived();
    }

private:
    bool m_open = false;
    QByteArray m_in; // received, not yet read
};
} // namespace platine::test
