#include "board/BoardLink.h"

#include "platform/Ansi.h"
#include "platform/Blanks.h"
#include "platform/Dialogs.h"
#include "platform/LeadingNumber.h"
#include "platform/PortNumbers.h"
#include "platform/ProfileFile.h"
#include "platform/SerialPort.h"

#include <QLocale>
#include <QTimer>

#include <cmath>

namespace platine {

namespace {

// What a lost device means and what to do, said when it goes and at each command until it is back.
QString unpluggedAdvice()
{
    return QStringLiteral("la carte ou le câble a été débranché. Rebranchez-le, puis recommencez.");
}

constexpr int kFlushMs = 1000;

const QString &portSection()
{
    static const QString s = QStringLiteral("Port COM");
    return s;
}

const QString &valueKey()
{
    static const QString s = QStringLiteral("valeur");
    return s;
}

// A number as the port setting holds it, or 0 when it designates no port.
int portFromValue(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value); // halves to even
    if (rounded < 1 || rounded > kMaxPortNumber)
        return 0;
    return int(rounded);
}

} // namespace

int portNumberFromAnswer(const QString &answer)
{
    const QStringView t = trimProfileBlanks(answer);

    const QString localePoint = QLocale().decimalPoint();
    QString plain; // ASCII form for the conversion
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        plain += t[i++];
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            plain += c;
            digits = true;
        } else if (!point && (c == u'.' || (localePoint.size() == 1 && c == localePoint[0]))) {
            plain += u'.';
            point = true;
        } else {
            return 0;
        }
    }
    if (!digits)
        return 0;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? portFromValue(value) : 0;
}

BoardLink::BoardLink(std::unique_ptr<SerialPort> port, const QString &paramIni, QObject *parent)
    : QObject(parent), m_port(std::move(port)), m_paramIni(paramIni), m_autoClose(new QTimer(this))
{
    m_port->setObjectName(QStringLiteral("Comm1"));
    m_autoClose->setObjectName(QStringLiteral("Timer3"));
    m_autoClose->setInterval(kAutoCloseMs);
    m_autoClose->setSingleShot(true); // enabled by a command, disabled by its own tick
    m_autoClose->setTimerType(Qt::PreciseTimer);
    connect(m_autoClose, &QTimer::timeout, this, &BoardLink::autoClose);
    connect(m_port.get(), &SerialPort::dataReceived, this, &BoardLink::onData);
    connect(m_port.get(), &SerialPort::deviceLost, this, &BoardLink::onDeviceLost);
}

BoardLink::~BoardLink()
{
    m_port->disconnect(this);
    if (m_port->isOpen()) {
        m_port->flush(kFlushMs);
        m_port->close();
    }
}

bool BoardLink::isOpen() const
{
    return m_port->isOpen();
}

void BoardLink::setPortLister(std::function<QMap<int, SerialPortEntry>()> lister)
{
    m_listPorts = std::move(lister);
}

QString BoardLink::noDeviceMessage() const
{
    QStringList ports;
    QString example = QStringLiteral("/dev/ttyUSB0");
    const QMap<int, SerialPortEntry> present = m_listPorts ? m_listPorts()
                                                           : QMap<int, SerialPortEntry>();
    for (auto it = present.cbegin(); it != present.cend(); ++it) {
        if (ports.isEmpty())
            example = it->device;
        ports << QStringLiteral("COM%1 (%2)").arg(QString::number(it.key()), it->device);
    }
    return QStringLiteral("Le port COM%1 ne correspond à aucun périphérique de cet ordinateur.\n"
                          "Ports présents : %2.\n"
                          "Choisissez-en un par « Paramètrage » → « Port COM », ou donnez le "
                          "numéro %1 à un périphérique en ajoutant à « %3 » les lignes :\n"
                          "[Ports]\nCOM%1=%4")
        .arg(QString::number(m_portNumber),
             ports.isEmpty() ? QStringLiteral("aucun") : ports.join(QStringLiteral(", ")),
             m_paramIni, example);
}

void BoardLink::addToJournal(JournalEntry entry)
{
    if (m_journal.size() >= kJournalEntries)
        m_journal.removeFirst();
    m_journal.append(std::move(entry));
    Q_EMIT journalAdded(m_journal.last());
}

QString BoardLink::portName() const
{
    const QString name = QStringLiteral("COM%1").arg(m_portNumber);
    return m_device.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, m_device);
}

void BoardLink::loadPortSetting()
{
    const QString text = readProfileString(m_paramIni, portSection(), valueKey(), QString(),
                                           kProfileBufferSize);
    if (const int port = portFromValue(leadingNumber(text)))
        m_portNumber = port;
}

BoardLink::PortChange BoardLink::changePortNumber(const QString &answer)
{
    if (answer.isEmpty())
        return {};
    if (isOpen())
        return {
            Failure{QStringLiteral("Le port %1 est ouvert : fermez-le avant de changer de numéro.")
                        .arg(portName())}};
    const int port = portNumberFromAnswer(answer);
    if (port == 0)
        return {Failure{QStringLiteral("« %1 » n'est pas un numéro de port (un nombre de 1 à %2).")
                            .arg(answer, QString::number(kMaxPortNumber))}};
    m_portNumber = port;
    m_device.clear();
    return {Done{}, writeProfileString(m_paramIni, portSection(), valueKey(), answer)};
}

Status BoardLink::openPort()
{
    if (isOpen())
        return Done{};
    const QString device = portDevice(m_portNumber, m_paramIni);
    if (device.isEmpty())
        return Failure{noDeviceMessage()};
    const Status opened = m_port->open(device);
    if (!opened && m_lost)
        return Failure{
            QStringLiteral("Le port %1 est fermé : %2").arg(portName(), unpluggedAdvice())};
    if (!opened) {
        const QString why = opened.reason();
        return Failure{QStringLiteral("Impossible d'ouvrir le port COM%1 (%2) : %3")
                           .arg(m_portNumber)
                           .arg(device, why.isEmpty() ? QStringLiteral("erreur inconnue") : why)};
    }
    // Opening a serial device raises DTR, and a board that resets on DTR would reset at every
    // open: the line goes inactive at once, before anything is written, at every open.
    m_port->setDtr(false); // refused by some devices (pseudo-terminals): not an error
    m_device = device;
    m_lost = false;
    Q_EMIT openChanged(true);
    return Done{};
}

void BoardLink::closePort()
{
    if (!isOpen())
        return;
    m_port->flush(kFlushMs);
    m_port->close();
    Q_EMIT openChanged(false);
}

Status BoardLink::sendToBoard(const QByteArray &message)
{
    const Status opened = openPort();
    if (!opened)
        return opened;
    return writeMessage(message);
}

Status BoardLink::writeMessage(const QByteArray &message)
{
    if (!isOpen())
        return Failure{QStringLiteral("Le port COM%1 n'est pas ouvert.").arg(m_portNumber)};
    m_port->setDtr(false); // refused by some devices: not an error
    const qint64 written = m_port->write(message);
    m_autoClose->start(); // every command gets its own 4.5 s
    m_answered = false;
    if (written != message.size())
        return Failure{QStringLiteral("Échec de l'envoi sur le port %1.").arg(portName())};
    addToJournal({QTime::currentTime(), true, portName(), message});
    return Done{};
}

void BoardLink::flushPending(int msecs)
{
    if (isOpen())
        m_port->flush(msecs);
}

void BoardLink::autoClose()
{
    m_autoClose->stop();
    const bool wasOpen = isOpen();
    closePort();
    if (wasOpen)
        Q_EMIT autoClosed(m_answered);
}

void BoardLink::onData()
{
    if (!isOpen())
        return;
    const QByteArray bytes = m_port->readAll();
    if (bytes.isEmpty())
        return;
    m_answered = true;
    // One journal line a line of the board's (a burst may hold several answers).
    const QTime now = QTime::currentTime();
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype end = bytes.indexOf("\r\n", from);
        const qsizetype next = end < 0 ? bytes.size() : end + 2;
        addToJournal({now, false, QString(),
                      bytes.mid(from, std::min(next - from, qsizetype(kJournalBytes)))});
        from = next;
    }
    Q_EMIT replyReceived(fromWire(bytes));
}

void BoardLink::onDeviceLost()
{
    // The system's words ("Inappropriate ioctl for device") would tell the user nothing.
    const QString text =
        QStringLiteral("Le port %1 s'est fermé : %2").arg(portName(), unpluggedAdvice());
    m_lost = true;
    Q_EMIT openChanged(false);
    Q_EMIT portLost(text);
}

} // namespace platine
