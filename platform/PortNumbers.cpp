#include "platform/PortNumbers.h"

#include "platform/ProfileFile.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace platine {

namespace {

constexpr int kUsualPortCount = 255; // the numbers that have a device without "Ports"

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
    const Result<QByteArray> contents = readProfileFile(paramIni);
    if (!contents)
        return overrides;
    // Every "COMn=" line is a candidate; the profile read decides which ones the "Ports" section
    // really holds, by the same rules as portDevice().
    static const QRegularExpression key(QStringLiteral("^[ \\t]*COM0*([1-9][0-9]{0,4})[ \\t]*="),
                                        QRegularExpression::CaseInsensitiveOption
                                            | QRegularExpression::MultilineOption);
    const QString text = QString::fromLatin1(*contents);
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

QString portDevice(int portNumber, const QString &paramIni)
{
    if (portNumber <= 0)
        return {};
    if (!paramIni.isEmpty()) {
        // Device paths are longer than the usual 19 characters: read them with room to spare.
        const QString named = readProfileString(paramIni, QStringLiteral("Ports"),
                                                QStringLiteral("COM%1").arg(portNumber), QString(),
                                                4096)
                                  .trimmed();
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
