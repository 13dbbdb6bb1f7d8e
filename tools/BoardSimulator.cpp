#include "tools/BoardSimulator.h"

#include "platform/Bcd.h"
#include "platform/DayNames.h"

#include <QTimer>

namespace platine {

namespace {

constexpr int kPollMs = 5;

// What the day code of a schedule means: 0 for a day text typed by hand, then the program's day
// list.
const QStringList &dayCodeNames()
{
    static const QStringList names = QStringList{QStringLiteral("aucun (texte saisi)")}
        + weekdayNames()
        + QStringList{QStringLiteral("Samedi et Dimanche"), QStringLiteral("Lundi a Vendredi"),
                      QStringLiteral("Tous les jours")};
    return names;
}

// A BCD byte as its two-digit decimal text, or "?" followed by the hex value when a nibble is
// not a decimal digit.
QString bcdText(unsigned char b)
{
    if (bcdValue(b) < 0)
        return QStringLiteral("?%1").arg(b, 2, 16, QLatin1Char('0'));
    return QStringLiteral("%1%2").arg(b >> 4).arg(b & 15);
}

// The date and time a clock command sets, invalid when the fields do not make one.
QDateTime clockCommandTime(const QByteArray &c)
{
    auto v = [&](int i) { return bcdValue(static_cast<unsigned char>(c[i])); };
    const QDate date(2000 + v(6), v(5), v(4));
    const QTime time(v(1), v(2), v(3));
    if (v(6) < 0 || !date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace

BoardSimulator::BoardSimulator(QObject *parent)
    : QObject(parent),
      m_pollTimer(new QTimer(this)),
      m_clockTimer(new QTimer(this)),
      m_incompleteTimer(new QTimer(this))
{
    m_pollTimer->setInterval(kPollMs);
    connect(m_pollTimer, &QTimer::timeout, this, &BoardSimulator::poll);
    m_clockTimer->setInterval(m_clockInterval);
    connect(m_clockTimer, &QTimer::timeout, this, &BoardSimulator::clockTick);
    m_incompleteTimer->setSingleShot(true);
    m_incompleteTimer->setInterval(kIncompleteMs);
    connect(m_incompleteTimer, &QTimer::timeout, this, &BoardSimulator::dropIncomplete);
}

BoardSimulator::~BoardSimulator()
{
    stop();
}

Status BoardSimulator::start()
{
    if (isRunning())
        return Done{};
    if (const Status opened = m_pty.open(B9600); !opened)
        return opened;
    m_pending.clear();
    m_received.clear();
    m_commands.clear();
    m_receivedCount = m_commandCount = 0;
    m_pollTimer->start();
    if (m_clockInterval > 0)
        m_clockTimer->start();
    return Done{};
}

void BoardSimulator::stop()
{
    m_pollTimer->stop();
    m_clockTimer->stop();
    m_incompleteTimer->stop();
    m_pty.close();
    m_pending.clear();
}

QStringList BoardSimulator::paramIniLines(int portNumber) const
{
    return {QStringLiteral("[Ports]"),
            QStringLiteral("COM%1=%2").arg(portNumber).arg(devicePath())};
}

void BoardSimulator::setClockInterval(int msecs)
{
    m_clockInterval = qMax(0, msecs);
    m_clockTimer->stop();
    if (m_clockInterval > 0) {
        m_clockTimer->setInterval(m_clockInterval);
        if (isRunning())
            m_clockTimer->start();
    }
}

QDateTime BoardSimulator::boardTime() const
{
    return QDateTime::currentDateTime().addMSecs(m_clockOffsetMs);
}

void BoardSimulator::setBoardTime(const QDateTime &time)
{
    m_clockOffsetMs = QDateTime::currentDateTime().msecsTo(time);
}

qint64 BoardSimulator::sendText(const QString &text)
{
    const qint64 n = sendBytes(text.toLatin1());
    if (n > 0)
        Q_EMIT textSent(text);
    return n;
}

QString BoardSimulator::hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

QString BoardSimulator::clockText(const QDateTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss dd/MM/yyyy"));
}

QString BoardSimulator::describe(const QByteArray &c)
{
    QStringList lines{hex(c)};
    auto u = [&](int i) { return static_cast<unsigned char>(c[i]); };
    if (c.size() == kClockCommandSize && c[0] == 'A') {
        const int day = u(7);
        lines << QStringLiteral("Mise a l'heure : %1:%2:%3 %4/%5/20%6, jour %7 (%8)")
                     .arg(bcdText(u(1)), bcdText(u(2)), bcdText(u(3)), bcdText(u(4)), bcdText(u(5)),
                          bcdText(u(6)), QString::number(day),
                          day >= 1 && day <= 7 ? weekdayNames().at(day - 1)
                                               : QStringLiteral("inconnu"));
        if (!clockCommandTime(c).isValid())
            lines << QStringLiteral("  date ou heure impossible");
    } else if (c.size() == kScheduleCommandSize && c[0] == 'B') {
        for (int w = 0; w < 3; ++w) {
            const int o = 1 + 4 * w;
            lines << QStringLiteral("Plage %1 : %2:%3 - %4:%5")
                         .arg(w + 1)
                         .arg(bcdText(u(o)), bcdText(u(o + 1)), bcdText(u(o + 2)),
                              bcdText(u(o + 3)));
        }
        const int code = u(13);
        lines << QStringLiteral("Jours : %1 (%2)")
                     .arg(code)
                     .arg(code < dayCodeNames().size() ? dayCodeNames().at(code)
                                                       : QStringLiteral("inconnu"));
        lines << QStringLiteral("Periode : %1 s").arg(u(14));
        int nonZero = 0;
        for (int i = 15; i < c.size(); ++i)
            nonZero += c[i] != 0;
        if (nonZero)
            lines << QStringLiteral("  %1 octet(s) non nuls apres l'octet 14").arg(nonZero);
    } else {
        lines << QStringLiteral("Octets hors commande (%1)").arg(c.size());
    }
    return lines.join(u'\n');
}

void BoardSimulator::poll()
{
    const QByteArray got = m_pty.readAvailable();
    if (got.isEmpty())
        return;
    m_received += got;
    if (m_received.size() > kKeptBytes)
        m_received.remove(0, m_received.size() - kKeptBytes);
    m_receivedCount += got.size();
    m_pending += got;
    parse();
}

void BoardSimulator::parse()
{
    while (!m_pending.isEmpty()) {
        const char letter = m_pending[0];
        if (letter != 'A' && letter != 'B') {
            qsizetype n = 1;
            while (n < m_pending.size() && m_pending[n] != 'A' && m_pending[n] != 'B')
                ++n;
            const QByteArray junk = m_pending.first(n);
            m_pending.remove(0, n);
            Q_EMIT junkReceived(junk, describe(junk));
            continue;
        }
        const int size = letter == 'A' ? kClockCommandSize : kScheduleCommandSize;
        if (m_pending.size() < size) {
            if (!m_incompleteTimer->isActive())
                m_incompleteTimer->start();
            return;
        }
        m_incompleteTimer->stop();
        const QByteArray command = m_pending.first(size);
        m_pending.remove(0, size);
        handle(command);
    }
    m_incompleteTimer->stop();
}

void BoardSimulator::dropIncomplete()
{
    if (m_pending.isEmpty())
        return;
    const QByteArray junk = m_pending;
    m_pending.clear();
    Q_EMIT junkReceived(junk, describe(junk) + QStringLiteral("\nCommande incomplete"));
}

void BoardSimulator::handle(const QByteArray &command)
{
    m_commands.append(command);
    if (m_commands.size() > kKeptCommands)
        m_commands.removeFirst();
    ++m_commandCount;
    Q_EMIT commandReceived(command, describe(command));
    if (!m_refusal.isEmpty()) {
        sendText(std::exchange(m_refusal, {}) + QStringLiteral("\r\n"));
    } else if (command[0] == 'A') {
        const QDateTime time = clockCommandTime(command);
        if (time.isValid()) {
            setBoardTime(time);
            sendText(QStringLiteral("Heure reglee : %1\r\n").arg(clockText(time)));
        } else {
            sendText(QStringLiteral("Erreur : heure invalide\r\n"));
        }
    }
}

void BoardSimulator::clockTick()
{
    if (peerConnected())
        sendText(clockText(boardTime()) + QStringLiteral("\r\n"));
}

} // namespace platine
