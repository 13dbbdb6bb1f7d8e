#pragma once
// The board link: the serial port (objectName "Comm1"), the port number, SendToBoard, the
// auto-close timer (objectName "Timer3") and the board's last answer. Window code calls these and
// words what they report; it never touches the port itself.
//
// A command has been sent once every one of its bytes has left the computer: the port's count of
// bytes written has reached its length. Until then it is being sent. A command whose bytes have
// not all left within deliveryLimitMs(), or that meets a write error, has failed: it is journaled
// so, and the port is closed (dropping what had not left) so that the next command starts clean.
// The auto-close counts 4.5 s from the last byte out.

#include "platform/PortNumbers.h"
#include "platform/ProfileFile.h"
#include "platform/Result.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTime>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace platine {

// What went wrong on the link.
enum class LinkProblem {
    NoDevice,    // the port number designates no device on this machine, or one never there
    Unplugged,   // the device went away (or was opened before and is missing now)
    CannotOpen,  // the device would not open: `serial` and `reason` say why
    NotOpen,     // a message written while the port is closed
    NotANumber,  // an answer to the port question that designates no port
    PortOpen,    // a change of port number asked while the port is open
    WriteFailed, // the port refused the bytes or reported a write error
    TimedOut,    // the bytes had not all left within deliveryLimitMs()
    Closed,      // the port was closed before the bytes had all left
    DeviceLost,  // the device went away before the bytes had all left
};

struct LinkFailure {
    LinkFailure(LinkProblem kind = LinkProblem::CannotOpen, QString device = {},
                SerialError serial = SerialError::Other, QString reason = {})
        : kind(kind), device(std::move(device)), serial(serial), reason(std::move(reason))
    {}

    LinkProblem kind;
    QString device;      // the device concerned, when there is one
    SerialError serial;  // CannotOpen, WriteFailed: the serial layer's kind
    QString reason;      // the system's words, when it gave some
    qint64 bytesOut = 0; // a command that failed: how many of its bytes left
    qint64 bytes = 0;    // and its length
};

template <typename T> using LinkResult = Result<T, LinkFailure>;
using LinkStatus = LinkResult<Done>;
// A command handed to the link, numbered from 1 in the order of writing.
using CommandId = quint64;

// One line of the link's journal: a command sent to the board or that failed to leave, or text
// the board sent back.
struct JournalEntry {
    enum class Kind { Sent, NotSent, Received };
    QTime time;
    Kind kind = Kind::Received;
    QString port;                       // where a command went: "COM3 (/dev/pts/4)"
    QByteArray bytes;                   // as on the wire; received text is kept up to kJournalBytes
    std::optional<LinkFailure> failure; // NotSent: why
};

class BoardLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAutoCloseMs = 4500;
    // The journal keeps the last kJournalEntries lines of the run.
    static constexpr int kJournalEntries = 1000;
    static constexpr int kJournalBytes = 200;
    // A refusal of the board's stays in the reply displays this long, whatever comes after it.
    static constexpr int kRefusalShownMs = 10000;

    // The time a command's bytes have to leave: 1 s, and 2 ms a byte (at 9600 baud a byte takes
    // 1.04 ms on the line), the bytes of the commands before it counted in.
    static constexpr int deliveryLimitMs(qint64 bytes) { return int(1000 + 2 * bytes); }

    // Takes the port (objectName "Comm1"). paramIni is where the port number and the "Ports"
    // device overrides are kept.
    BoardLink(std::unique_ptr<SerialPort> port, const QString &paramIni, QObject *parent = nullptr);
    ~BoardLink() override;

    int portNumber() const { return m_portNumber; }
    // "COM3", or "COM3 (/dev/ttyS2)" once a device has been opened for it.
    QString portName() const;
    const QString &paramIni() const { return m_paramIni; }
    bool isOpen() const;
    SerialPort *port() const { return m_port.get(); }
    QTimer *autoCloseTimer() const { return m_autoClose; }

    // LoadPortSetting: the number kept in param.ini ("Port COM"/"valeur", leading number). Port 0,
    // a missing or unusable setting keeps the current number (1 at start).
    void loadPortSetting();

    // What became of an answer to the port-number question.
    struct PortChange {
        // Refused (NotANumber, PortOpen): nothing changed. An empty answer is no change and no
        // failure.
        LinkStatus answer = Done{};
        // The answer taken: whether param.ini keeps it, as typed. The number changes anyway.
        FileStatus stored = Done{};
    };
    // The answer to the port-number question ("Port COM" menu), as typed in the input box.
    PortChange changePortNumber(const QString &answer);

    // The two port buttons. openPort() opens the port when it is closed and switches DTR off right
    // after the device opens; when the device cannot be opened the port stays closed (NoDevice,
    // Unplugged, CannotOpen). closePort() lets out what is still leaving (for at most a second);
    // a command whose bytes have not all left then fails (Closed).
    LinkStatus openPort();
    void closePort();

    // SendToBoard steps 2 to 5: opens the port when closed, DTR off, the bytes queued for the
    // line. The command is being sent until commandSent() or commandFailed() tells its number.
    // openPort() is step 2 alone (the clock command opens the port before it builds its message);
    // writeMessage() is steps 3 to 5 (NotOpen when the port is closed; WriteFailed when the port
    // refuses the bytes outright).
    LinkResult<CommandId> sendToBoard(const QByteArray &message);
    LinkResult<CommandId> writeMessage(const QByteArray &message);
    // Whether a command is being sent.
    bool sending() const { return !m_pending.isEmpty(); }

    // Writes out pending output (bounded), e.g. before the program quits.
    void flushPending(int msecs = 1000);

    // The board's last answer, kept once: what the three reply displays show. A burst that holds
    // a refusal (a line that begins with "Erreur") stays kRefusalShownMs, the bursts after it
    // only journaled, unless a command or the user empties it.
    const QString &reply() const { return m_reply; }
    // Empties it (the first step of every command, and a click on Text1).
    void clearReply();
    // Whether a line of the board's is a refusal: "Erreur : heure invalide".
    static bool isRefusal(const QString &line);

    // What was sent and received during the run, oldest first.
    const QList<JournalEntry> &journal() const { return m_journal; }

    // Where the machine's serial ports are listed, for telling a port number without a device.
    void setPortLister(std::function<QMap<int, SerialPortEntry>()> lister);
    // The numbered ports of this machine, as the port question offers them.
    QMap<int, SerialPortEntry> presentPorts() const;

Q_SIGNALS:
    // The board's answer changed: a burst received (everything waiting, as text: byte value =
    // character code), or the answer emptied.
    void replyChanged(const QString &text);
    void openChanged(bool open);
    // The auto-close closed the port; answered: the board sent something since the last command.
    void autoClosed(bool answered);
    void journalAdded(const JournalEntry &entry);
    // Every byte of the command has left the computer.
    void commandSent(CommandId command);
    // The command's bytes did not all leave (WriteFailed, TimedOut, Closed, DeviceLost); the port
    // is closed.
    void commandFailed(CommandId command, const LinkFailure &failure);
    // The device went away while the port was open; the port is closed now, and the next command
    // that cannot open it fails as Unplugged.
    void portLost();
    // The board refused the last command written (until the auto-close after it): its line.
    void boardRefused(CommandId command, const QString &line);

private:
    struct Pending {
        CommandId id;
        QByteArray bytes;
        qint64 left; // bytes that have not left yet
        QString port;
        QDeadlineTimer deadline;
    };

    void autoClose();
    void onData();
    void onBytesWritten(qint64 count);
    void onPortFailed(const SerialFailure &failure);
    void deliveryOverdue();
    void armDeliveryTimer();
    // Every command being sent fails with `failure` (its counts of bytes made its own), and the
    // port is closed, dropping what had not left.
    void breakOff(LinkFailure failure);
    void addToJournal(JournalEntry entry);

    std::unique_ptr<SerialPort> m_port;
    QString m_paramIni;
    QTimer *m_autoClose = nullptr;
    QTimer *m_deliveryTimer = nullptr; // the deadline of the first command being sent
    int m_portNumber = 1;
    QString m_device;            // the device the port was last opened on
    bool m_lost = false;         // the device went away and has not been opened since
    bool m_answered = false;     // something was received since the last command
    bool m_breakingOff = false;  // a failure of the open port is being dealt with
    quint64 m_openings = 0;      // counts the openings: a failure belongs to one of them
    CommandId m_lastCommand = 0; // the number of the last command written
    QList<Pending> m_pending;    // commands being sent, in writing order
    QString m_reply;
    QDeadlineTimer m_refusalShown; // until when a refusal stays in the reply (expired: none)
    QList<JournalEntry> m_journal;
    std::function<QMap<int, SerialPortEntry>()> m_listPorts;
};

// The port number an answer to the port question designates, or 0 when the answer is refused.
// Accepted: optional blanks, an optional sign, digits with an optional fraction after "." or the
// locale's decimal separator, optional blanks; the value rounded to the nearest integer (halves to
// the even neighbour) must lie in 1..32767. Anything else ("abc", "3x", "1e2", "&H3") is refused.
int portNumberFromAnswer(const QString &answer);

} // namespace platine
