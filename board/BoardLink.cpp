#include "board/BoardLink.h"

#include "platform/Ansi.h"
#include "platform/Blanks.h"
#include "platform/LeadingNumber.h"
#include "platform/PortNumbers.h"
#include "platform/ProfileFile.h"
#include "platform/SerialPort.h"

#include <QLocale>
#include <QTimer>

#include <cmath>

namespace platine {

namespace {

constexpr int kFlushMs = 1000;

// Errors of an open port that mean its device went away. Linux tells a pulled adapter as a
// resource error and the other side of a pseudo-terminal closing as a read that finds the end of
// the line; Windows tells a pulled USB adapter as an access error or an aborted operation (a
// resource error), and a write that never completes as a timeout.
bool meansDeviceGone(SerialError error)
{
    switch (error) {
    case SerialError::Permission:
    case SerialError::Resource:
    case SerialError::Read:
    case SerialError::Timeout: return true;
    case SerialError::NotFound:
    case SerialError::Write:
    case SerialError::Other: break;
    }
    return false;
}

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
    : QObject(parent),
      m_port(std::move(port)),
      m_paramIni(paramIni),
      m_autoClose(new QTimer(this)),
      m_deliveryTimer(new QTimer(this))
{
    m_port->setObjectName(QStringLiteral("Comm1"));
    m_autoClose->setObjectName(QStringLiteral("Timer3"));
    m_autoClose->setInterval(kAutoCloseMs);
    m_autoClose->setSingleShot(true); // enabled by a command, disabled by its own tick
    m_autoClose->setTimerType(Qt::PreciseTimer);
    m_deliveryTimer->setSingleShot(true);
    m_deliveryTimer->setTimerType(Qt::PreciseTimer);
    connect(m_autoClose, &QTimer::timeout, this, &BoardLink::autoClose);
    connect(m_deliveryTimer, &QTimer::timeout, this, &BoardLink::deliveryOverdue);
    connect(m_port.get(), &SerialPort::dataReceived, this, &BoardLink::onData);
    connect(m_port.get(), &SerialPort::bytesWritten, this, &BoardLink::onBytesWritten);
    connect(m_port.get(), &SerialPort::failed, this, &BoardLink::onPortFailed);
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

QMap<int, SerialPortEntry> BoardLink::presentPorts() const
{
    return m_listPorts ? m_listPorts() : QMap<int, SerialPortEntry>();
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
        return {LinkFailure{LinkProblem::PortOpen}};
    const int port = portNumberFromAnswer(answer);
    if (port == 0)
        return {LinkFailure{LinkProblem::NotANumber}};
    m_portNumber = port;
    m_device.clear();
    return {Done{}, writeProfileString(m_paramIni, portSection(), valueKey(), answer)};
}

LinkStatus BoardLink::openPort()
{
    if (isOpen())
        return Done{};
    const QString device = portDevice(m_portNumber, m_paramIni);
    if (device.isEmpty())
        return LinkFailure{LinkProblem::NoDevice};
    const Result<Done, SerialFailure> opened = m_port->open(device);
    // A device missing is unplugged when it was there (it was opened, or went away while open),
    // else it was never on this machine.
    const bool missing = !opened && opened.error().kind == SerialError::NotFound;
    if (!opened && (m_lost || (missing && device == m_device)))
        return LinkFailure{LinkProblem::Unplugged, device, opened.error().kind};
    if (missing)
        return LinkFailure{LinkProblem::NoDevice, device, opened.error().kind};
    if (!opened)
        return LinkFailure{LinkProblem::CannotOpen, device, opened.error().kind, opened.reason()};
    ++m_openings;
    m_breakingOff = false;
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
    m_port->flush(kFlushMs); // what leaves meanwhile is counted as it goes
    if (m_pending.isEmpty()) {
        m_port->close();
        Q_EMIT openChanged(false);
    } else {
        breakOff({LinkProblem::Closed, m_device});
    }
}

LinkResult<CommandId> BoardLink::sendToBoard(const QByteArray &message)
{
    const LinkStatus opened = openPort();
    if (!opened)
        return opened.error();
    return writeMessage(message);
}

LinkResult<CommandId> BoardLink::writeMessage(const QByteArray &message)
{
    if (!isOpen())
        return LinkFailure{LinkProblem::NotOpen};
    m_port->setDtr(false); // refused by some devices: not an error
    const qint64 queued = m_port->write(message);
    m_autoClose->stop(); // it counts from the last byte out
    m_answered = false;
    const CommandId id = ++m_lastCommand;
    if (queued != message.size()) {
        LinkFailure refused{LinkProblem::WriteFailed, m_device, SerialError::Write};
        refused.bytes = message.size();
        const QString port = portName();
        breakOff(refused); // the commands before it fail too: the port closes
        addToJournal({QTime::currentTime(), JournalEntry::Kind::NotSent, port, message, refused});
        return refused;
    }
    qint64 ahead = 0; // the bytes of the commands before it leave first
    for (const Pending &p : std::as_const(m_pending))
        ahead += p.left;
    m_pending.append({id, message, message.size(), portName(),
                      QDeadlineTimer(deliveryLimitMs(ahead + message.size()), Qt::PreciseTimer)});
    if (message.isEmpty()) // nothing to wait for
        onBytesWritten(0);
    else
        armDeliveryTimer();
    return id;
}

void BoardLink::onBytesWritten(qint64 count)
{
    QList<CommandId> sent;
    while (!m_pending.isEmpty() && (count > 0 || m_pending.first().left == 0)) {
        Pending &first = m_pending.first();
        const qint64 taken = std::min(count, first.left);
        first.left -= taken;
        count -= taken;
        if (first.left > 0)
            break;
        addToJournal({QTime::currentTime(), JournalEntry::Kind::Sent, first.port, first.bytes, {}});
        sent << first.id;
        m_pending.removeFirst();
    }
    if (m_pending.isEmpty()) {
        m_deliveryTimer->stop();
        if (!sent.isEmpty() && isOpen())
            m_autoClose->start(); // 4.5 s from the last byte out
    } else {
        armDeliveryTimer();
    }
    for (const CommandId id : std::as_const(sent))
        Q_EMIT commandSent(id);
}

void BoardLink::armDeliveryTimer()
{
    if (!m_pending.isEmpty())
        m_deliveryTimer->start(
            int(std::max<qint64>(0, m_pending.first().deadline.remainingTime())));
}

void BoardLink::deliveryOverdue()
{
    if (m_pending.isEmpty())
        return;
    if (!m_pending.first().deadline.hasExpired())
        return armDeliveryTimer();
    breakOff({LinkProblem::TimedOut, m_device});
}

void BoardLink::onPortFailed(const SerialFailure &failure)
{
    const bool gone = meansDeviceGone(failure.kind);
    if (!isOpen() || m_breakingOff || !(gone || failure.kind == SerialError::Write))
        return;
    m_breakingOff = true; // told once, however many errors the port reports meanwhile
    // The port is closed outside of its own notification.
    const quint64 opening = m_openings;
    QMetaObject::invokeMethod(
        this,
        [this, failure, gone, opening] {
            if (opening != m_openings || !isOpen())
                return;
            if (!gone)
                return breakOff({LinkProblem::WriteFailed, m_device, failure.kind, failure.reason});
            m_lost = true;
            breakOff({LinkProblem::DeviceLost, m_device, failure.kind, failure.reason});
            Q_EMIT portLost();
        },
        Qt::QueuedConnection);
}

void BoardLink::breakOff(LinkFailure failure)
{
    const QList<Pending> pending = std::exchange(m_pending, {});
    m_deliveryTimer->stop();
    m_autoClose->stop();
    const bool wasOpen = isOpen();
    m_port->abort();
    QList<LinkFailure> failures;
    const QTime now = QTime::currentTime();
    for (const Pending &p : pending) {
        failure.bytes = p.bytes.size();
        failure.bytesOut = p.bytes.size() - p.left;
        failures << failure;
        addToJournal({now, JournalEntry::Kind::NotSent, p.port, p.bytes, failure});
    }
    if (wasOpen)
        Q_EMIT openChanged(false);
    for (qsizetype i = 0; i < pending.size(); ++i)
        Q_EMIT commandFailed(pending[i].id, failures[i]);
}

void BoardLink::flushPending(int msecs)
{
    if (isOpen())
        m_port->flush(msecs);
}

void BoardLink::clearReply()
{
    m_refusalShown = QDeadlineTimer();
    m_reply.clear();
    Q_EMIT replyChanged(m_reply);
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
    QString refusal;
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype end = bytes.indexOf("\r\n", from);
        const qsizetype next = end < 0 ? bytes.size() : end + 2;
        const QByteArray line = bytes.mid(from, next - from);
        if (refusal.isEmpty() && isRefusal(fromWire(line)))
            refusal = fromWire(line).trimmed();
        addToJournal({now, JournalEntry::Kind::Received, QString(), line.left(kJournalBytes), {}});
        from = next;
    }
    if (!refusal.isEmpty())
        m_refusalShown.setRemainingTime(kRefusalShownMs);
    else if (!m_refusalShown.hasExpired())
        return;                // the refusal stays in view
    m_reply = fromWire(bytes); // each burst replaces the last: nothing is accumulated
    Q_EMIT replyChanged(m_reply);
    if (!refusal.isEmpty() && (m_autoClose->isActive() || !m_pending.isEmpty()))
        Q_EMIT boardRefused(m_lastCommand, refusal);
}

bool BoardLink::isRefusal(const QString &line)
{
    return line.trimmed().startsWith(QLatin1String("Erreur"), Qt::CaseInsensitive);
}

} // namespace platine
