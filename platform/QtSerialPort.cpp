#include "platform/QtSerialPort.h"

#include "platform/PortNumbers.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPointer>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>

#include <algorithm>

namespace platine {

namespace {

constexpr int kQuietMs = 5;          // a burst ends after this much silence
constexpr qint64 kBurstBytes = 1024; // or when this many bytes wait

// Why a device could not be opened, in the user's words where the cause is a usual one.
QString openFailure(QSerialPort::SerialPortError error, const QString &systemWords)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("le périphérique n'existe pas (carte ou câble débranché ?)");
    case QSerialPort::PermissionError:
        return QStringLiteral("accès refusé : le port est peut-être pris par un autre programme, "
                              "ou votre compte n'est pas du groupe dialout");
    default: return systemWords;
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
    }

    ~QtSerialPort() override
    {
        m_port.disconnect(this);
        close();
    }

    Status open(const QString &device) override
    {
        if (m_port.isOpen())
            return Done{};
        m_lossPending = false;
        m_port.setPortName(device);
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        m_port.setReadBufferSize(0);
        if (!m_port.open(QIODevice::ReadWrite)) {
            const QString reason = openFailure(m_port.error(), m_port.errorString());
            m_port.clearError();
            return Failure{reason};
        }
        m_port.clearError();
        return Done{};
    }

    void close() override
    {
        m_quiet.stop();
        if (m_port.isOpen())
            m_port.close();
        m_port.clearError();
    }

    bool isOpen() const override { return m_port.isOpen(); }

    bool setDtr(bool on) override
    {
        if (!m_port.isOpen())
            return false;
        m_settingLines = true;
        const bool ok = m_port.setDataTerminalReady(on);
        m_settingLines = false;
        if (!ok)
            m_port.clearError(); // pseudo-terminals have no modem lines: not a port failure
        return ok;
    }

    qint64 write(const QByteArray &bytes) override
    {
        if (!m_port.isOpen())
            return -1;
        return m_port.write(bytes);
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
        return !m_port.isOpen() || m_port.bytesToWrite() == 0;
    }

    QByteArray readAll() override
    {
        m_quiet.stop();
        return m_port.isOpen() ? m_port.readAll() : QByteArray();
    }

private:
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
        if (m_settingLines || !m_port.isOpen())
            return;
        // A device that went away shows as a resource error (adapter pulled) or as a read that
        // finds the end of the line (the other side of a pseudo-terminal closed).
        if (code != QSerialPort::ResourceError && code != QSerialPort::ReadError)
            return;
        if (m_lossPending)
            return;
        m_lossPending = true;
        const QString reason = m_port.errorString();
        // The port is closed outside of its own notification.
        QMetaObject::invokeMethod(
            this,
            [this, reason] {
                if (!m_lossPending)
                    return;
                m_lossPending = false;
                if (!m_port.isOpen())
                    return;
                close();
                Q_EMIT deviceLost(reason);
            },
            Qt::QueuedConnection);
    }

    QSerialPort m_port;
    QTimer m_quiet;
    bool m_settingLines = false;
    bool m_lossPending = false;
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

QList<InputSuggestion> availablePortSuggestions(const QString &paramIni)
{
    return portSuggestions(availablePorts(paramIni));
}

} // namespace platine
