#pragma once
// A scripted serial port: records calls, keeps writes pending until flushed, plays the board.
#include "platform/SerialPort.h"
#include <QStringList>
namespace platine::test {
using namespace Qt::StringLiterals;
class FakeSerialPort : public SerialPort
{
public:
    bool openFails = false;
    qint64 writeLimit = -1;   // >= 0: write accepts at most this many bytes
    QStringList calls;        // "open:<device>", "close", "dtr:0", "write:<n>", "flush", "readAll"
    QByteArray pending, sent; // written but not yet on the line; on the line
    Status open(const QString &device) override
    {
        calls << u"open:"_s + device;
        m_open = m_open || !openFails;
        return openFails ? Status(Failure{u"Permission denied"_s}) : Status(Done{});
    }
    void close() override
    {
        calls << u"close"_s;
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
        return m_open ? n : -1;
    }
    bool flush(int) override
    {
        calls << u"flush"_s;
        sent += std::exchange(pending, {});
        return m_open;
    }
    QByteArray readAll() override
    {
        calls << u"readAll"_s;
        return std::exchange(m_in, {});
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
