#include "platform/PortChoice.h"

#include "platform/ProfileFile.h"
#include "platform/SerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace platine {

namespace {

constexpr int kMaxPortNumber = 32767; // port numbers are 16-bit
constexpr int kUsualPortCount = 255;  // the numbers that have a device without "Ports"

bool sameDevice(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

int usualPortNumber(const QString &device)
{
    for (int n = 1; n <= kUsualPortCount; ++n) {
        if (portDevice(n, QString()) == device)
            return n;
    }
    return 0;
}

} // namespace

QMap<int, QString> portOverrides(const QString &paramIni)
{
    QMap<int, QString> overrides;
    QFile file(paramIni);
    if (paramIni.isEmpty() || !file.open(QIODevice::ReadOnly))
        return overrides;
    // Every "COMn=" line is a candidate; the profile read decides which ones the "Ports" section
    // really holds, by the same rules as portDevice().
    static const QRegularExpression key(QStringLiteral("^[ \\t]*COM0*([1-9][0-9]{0,4})[ \\t]*="),
                                        QRegularExpression::CaseInsensitiveOption
                                            | QRegularExpression::MultilineOption);
    const QString text = QString::fromLatin1(file.readAll());
    for (auto it = key.globalMatch(text); it.hasNext();) {
        const int n = it.next().captured(1).toInt();
        if (n > kMaxPortNumber || overrides.contains(n))
            continue;
        const QString named = readProfileString(paramIni, QStringLiteral("Ports"),
                                                QStringLiteral("COM%1").arg(n), QString(), 4096)
                                  .trimmed();
        if (!named.isEmpty())
            overrides.insert(n, named);
    }
    return overrides;
}

int portNumberForDevice(const QString &device, const QMap<int, QString> &overrides)
{
    if (device.isEmpty())
        return 0;
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it) {
        if (sameDevice(it.value(), device))
            return it.key();
    }
    const int usual = usualPortNumber(device);
    return usual > 0 && !overrides.contains(usual) ? usual : 0;
}

int portNumberForDevice(const QString &device, const QString &paramIni)
{
    return portNumberForDevice(device, portOverrides(paramIni));
}

QList<InputSuggestion> portSuggestions(const QList<SerialPortEntry> &ports,
                                       const QMap<int, QString> &overrides)
{
    QMap<int, InputSuggestion> byNumber; // one per number, the first device that has it
    for (const SerialPortEntry &port : ports) {
        const int n = portNumberForDevice(port.device, overrides);
        if (n == 0 || byNumber.contains(n))
            continue;
        QString label = QStringLiteral("%1 — %2").arg(n).arg(port.device);
        if (!port.description.trimmed().isEmpty())
            label += QStringLiteral(" — ") + port.description.trimmed();
        byNumber.insert(n, {label, QString::number(n)});
    }
    return byNumber.values();
}

QList<InputSuggestion> availablePortSuggestions(const QString &paramIni)
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
        const bool listed = std::any_of(ports.cbegin(), ports.cend(), [&](const SerialPortEntry &p) {
            return sameDevice(p.device, device);
        });
        if (!listed && QFileInfo::exists(device))
            ports.append({device, QString()});
    }
    return portSuggestions(ports, overrides);
}

} // namespace platine
