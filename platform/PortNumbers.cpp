#include "platform/PortNumbers.h"

#include "platform/ProfileFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace platine {

namespace {

constexpr int kUsualPortCount = 255; // the numbers that have a device without "Ports"

// The port a "Ports" key names: "COM" (any case) and its number, leading zeros or not ("COM3",
// "com03"); 0 for any other key and for numbers outside 1-32767.
int portNumberOfKey(const QString &key)
{
    static const QRegularExpression form(QStringLiteral("^COM0*([1-9][0-9]{0,4})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const int n = form.match(key).captured(1).toInt();
    return n <= kMaxPortNumber ? n : 0;
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

bool sameDevice(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QMap<int, QString> portOverrides(const QString &paramIni)
{
    QMap<int, QString> overrides;
    if (paramIni.isEmpty())
        return overrides;
    const auto contents = readProfileFile(paramIni);
    if (!contents)
        return overrides;
    QSet<int> named; // the numbers whose first entry was met, with a device or without
    for (const auto &[key, value] : profileEntries(*contents, QStringLiteral("Ports"))) {
        const int n = portNumberOfKey(key);
        if (n == 0 || named.contains(n))
            continue;
        named.insert(n);
        if (!value.trimmed().isEmpty())
            overrides.insert(n, value.trimmed());
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

QMap<int, SerialPortEntry> numberedPorts(const QList<SerialPortEntry> &ports,
                                         const QMap<int, QString> &overrides)
{
    QMap<int, SerialPortEntry> byNumber;
    for (const SerialPortEntry &port : ports) {
        const int n = portNumberForDevice(port.device, overrides);
        if (n != 0 && !byNumber.contains(n))
            byNumber.insert(n, port);
    }
    return byNumber;
}

QList<InputSuggestion> portSuggestions(const QMap<int, SerialPortEntry> &ports)
{
    QList<InputSuggestion> suggestions;
    for (auto it = ports.cbegin(); it != ports.cend(); ++it) {
        QString label = QStringLiteral("%1 — %2").arg(it.key()).arg(it->device);
        if (!it->description.trimmed().isEmpty())
            label += QStringLiteral(" — ") + it->description.trimmed();
        suggestions.append({label, QString::number(it.key())});
    }
    return suggestions;
}

QList<InputSuggestion> portSuggestions(const QList<SerialPortEntry> &ports,
                                       const QMap<int, QString> &overrides)
{
    return portSuggestions(numberedPorts(ports, overrides));
}

QString portDevice(int portNumber, const QString &paramIni)
{
    if (portNumber <= 0)
        return {};
    if (!paramIni.isEmpty()) {
        // The same reading as the port chooser's, so that both agree on every number.
        const QString named = portOverrides(paramIni).value(portNumber);
        if (!named.isEmpty())
            return named;
    }
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    struct Range {
        int first;
        const char *prefix;
    };
    static constexpr Range ranges[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};
    for (const Range &r : ranges) {
        if (portNumber >= r.first && portNumber < r.first + 32)
            return QLatin1String(r.prefix) + QString::number(portNumber - r.first);
    }
    return {};
#endif
}

} // namespace platine
