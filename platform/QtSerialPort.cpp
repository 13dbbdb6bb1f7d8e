#include "platform/QtSerialPort.h"

#include "platform/PortNumbers.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>

#include <algorithm>

namespace platine {

namespace {

constexpr int kQuietMs = 5;          // a burst ends after this much silence
constexpr qint64 kBurstBytes = 1024; // or when this many bytes wait

// The serial layer's error as the program knows it.
SerialError serialError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return SerialError::NotFound;
    case QSerialPort::PermissionError: return SerialError::Permission;
    case QSerialPort::ResourceError: return SerialError::Resource;
    case QSerialPort::ReadError: return SerialError::Read;
    case QSerialPort::WriteError: return SerialError::Write;
    case QSerialPort::TimeoutError: return SerialError::Timeout;
    default: return SerialError::Other;
    }
}

class QtSerialPort final : public SerialPort
{
public:
    explicit QtSerialPort(QObject *parent) : SerialPort(parent), m_port(this), m_quiet(this)
    {
        m_quiet.setSingleShot(true);
        m_quiet.setInterval(kQuietMs);
        connect(&m_quiet, &QTimer::timeout, this, &QtSerialPort::burstEnded);
        connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPort::bytesArrived);
        connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::portError);
        connect(&m_port, &QSerialPort::bytesWritten, this, &QtSerialPort::tellWritten);
    }

    ~QtSerialPort() override
    {
        m_port.disconnect(this);
        close();
    }

    Result<Done, SerialFailure> open(const QString &device) override
    {
        if (m_port.isOpen())
            return Done{};
        m_port.setPortName(device);
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        m_port.setReadBufferSize(0);
        if (!m_port.open(QIODevice::ReadWrite)) {
            const SerialFailure failure{serialError(m_port.error()), m_port.errorString()};
            m_port.clearError();
            return failure;
        }
        m_port.clearError();
        m_handed = m_told = 0;
        return Done{};
    }

    void close() override
    {
        m_quiet.stop();
        if (m_port.isOpen())
            m_port.close();
        m_port.clearError();
    }

    void abort() override
    {
        if (m_port.isOpen()) {
            m_housekeeping = true;
            m_port.clear(QSerialPort::Output); // Qt's buffer and the system's
            m_housekeeping = false;
        }
        close();
    }

    bool isOpen() const override { return m_port.isOpen(); }

    bool setDtr(bool on) override
    {
        if (!m_port.isOpen())
            return false;
        m_housekeeping = true;
        const bool ok = m_port.setDataTerminalReady(on);
        m_housekeeping = false;
        if (!ok)
            m_port.clearError(); // pseudo-terminals have no modem lines: not a port failure
        return ok;
    }

    qint64 write(const QByteArray &bytes) override
    {
        if (!m_port.isOpen())
            return -1;
        const qint64 queued = m_port.write(bytes);
        m_handed += std::max<qint64>(0, queued);
        return queued;
    }

    bool flush(int msecs) override
    {
        if (!m_port.isOpen())
            return false;
        QDeadlineTimer deadline(qMax(0, msecs));
        while (m_port.isOpen() && m_port.bytesToWrite() > 0) {
            const qint64 left = deadline.remainingTime();
            if (left <= 0 || !m_port.waitForBytesWritten(int(left)))
                break;
        }
        if (m_port.isOpen())
            tellWritten(); // Qt tells the last piece only at its next notification
        return !m_port.isOpen() || m_port.bytesToWrite() == 0;
    }

    QByteArray readAll() override
    {
        m_quiet.stop();
        return m_port.isOpen() ? m_port.readAll() : QByteArray();
    }

private:
    // What the system has taken of the bytes handed to the port (Qt keeps the others, and on
    // Windows the piece being written too), told once.
    void tellWritten()
    {
        const qint64 taken = m_handed - m_port.bytesToWrite();
        if (taken <= m_told)
            return;
        const qint64 count = taken - m_told;
        m_told = taken;
        Q_EMIT bytesWritten(count);
    }

    void bytesArrived()
    {
        if (m_port.bytesAvailable() >= kBurstBytes) {
            m_quiet.stop();
            Q_EMIT dataReceived();
        } else {
            m_quiet.start(); // restarts: the burst goes on
        }
    }

    void burstEnded()
    {
        if (m_port.isOpen() && m_port.bytesAvailable() > 0)
            Q_EMIT dataReceived();
    }

    void portError(QSerialPort::SerialPortError code)
    {
        // Errors of a closed port (a refused opening included) are told by what was asked; a
        // device without modem lines refusing DTR is no failure.
        if (m_housekeeping || !m_port.isOpen() || code == QSerialPort::NoError)
            return;
        Q_EMIT failed({serialError(code), m_port.errorString()});
    }

    QSerialPort m_port;
    QTimer m_quiet;
    bool m_housekeeping = false; // setting DTR, dropping output: their errors are no failures
    qint64 m_handed = 0;         // bytes handed to the port since it opened
    qint64 m_told = 0;           // of them, told written
};

} // namespace

std::unique_ptr<SerialPort> makeQtSerialPort(QObject *parent)
{
    return std::make_unique<QtSerialPort>(parent);
}

QMap<int, SerialPortEntry> availablePorts(const QString &paramIni)
{
    const QMap<int, QString> overrides = portOverrides(paramIni);
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
#ifdef Q_OS_WIN
        ports.append({info.portName(), info.description()}); // "COM3", as portDevice() names it
#else
        ports.append({info.systemLocation(), info.description()});
#endif
    for (const QString &device : overrides) {
        const bool listed =
            std::any_of(ports.cbegin(), ports.cend(),
                        [&](const SerialPortEntry &p) { return sameDevice(p.device, device); });
        if (!listed && QFileInfo::exists(device))
            ports.append({device, QString()});
    }
    return numberedPorts(ports, overrides);
}

} // namespace platine
