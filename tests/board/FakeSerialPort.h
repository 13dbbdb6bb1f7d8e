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
    qint64 writeLimit = -1; // >= 0: write accepts at most this many bytes
    QStringList calls;  // "open:<device>", "close", "dtr:0", "write:<n>", "flush", "readAll"
    QByteArray pending, sent; // written but not yet on the line; on the line
    bool open(const QString &dev, QString *error) override
    {
        calls << u"open:"_s + dev;
        if (openFails)
            *error = u"Permission denied"_s;
        return m_open = !openFails;
    }
    void close() override { calls << u"close"_s, pending.clear(), m_open = false; }
    bool isOpen() const override { return m_open; }
    bool setDtr(bool on) override { return calls << u"dtr:%1"_s.arg(int(on)), false; }
    qint64 write(const QByteArray &bytes) override
    {
        calls << u"write:%1"_s.arg(bytes.size());
        const qint64 n = writeLimit >= 0 ? qMin<qint64>(writeLimit, bytes.size()) : bytes.size();
        return m_open ? (pending += bytes.first(n), n) : -1;
    }
    bool flush(int) override { return calls << u"flush"_s, sent += pending, pending = "", m_open; }
    QByteArray readAll() override { return calls << u"readAll"_s, std::exchange(m_in, {}); }
    // The board sends a burst (lost while the port is closed).
    void receive(const QByteArray &b) { if (m_open) m_in += b, Q_EMIT dataReceived(); }
private:
    bool m_open = false;
    QByteArray m_in; // received, not yet read
};
} // namespace platine::test
