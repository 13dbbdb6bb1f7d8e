#pragma once
// The board link: the serial port (objectName "Comm1"), the port number, SendToBoard and the
// auto-close timer (objectName "Timer3"). Window code calls these and shows what they report; it
// never touches the port itself.

#include "platform/PortNumbers.h"
#include "platform/ProfileFile.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTime>
#include <functional>
#include <memory>

class QTimer;

namespace platine {

class SerialPort;

// One line of the link's journal: a message sent to the board, or text the board sent back.
struct JournalEntry {
    QTime time;
    bool sent = false; // sent to the board, else received from it
    QString port;      // where it was sent: "COM3 (/dev/pts/4)"; empty for what was received
    QByteArray bytes;  // as on the wire; received text is kept up to kJournalBytes
};

class BoardLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAutoCloseMs = 4500;
    // The journal keeps the last kJournalEntries lines of the run.
    static constexpr int kJournalEntries = 1000;
    static constexpr int kJournalBytes = 200;

    // Takes the port (objectName "Comm1"). paramIni is where the port number and the "Ports"
    // device overrides are kept.
    BoardLink(std::unique_ptr<SerialPort> port, const QString &paramIni, QObject *parent = nullptr);
    ~BoardLink() override;

    int portNumber() const { return m_portNumber; }
    // "COM3", or "COM3 (/dev/ttyS2)" once a device has been opened for it.
    QString portName() const;
    bool isOpen() const;
    SerialPort *port() const { return m_port.get(); }
    QTimer *autoCloseTimer() const { return m_autoClose; }

    // LoadPortSetting: the number kept in param.ini ("Port COM"/"valeur", leading number). Port 0,
    // a missing or unusable setting keeps the current number (1 at start).
    void loadPortSetting();

    // What became of an answer to the port-number question.
    struct PortChange {
        // A failure says, as a sentence for the user, why the answer was refused (not a number,
        // or the port is open); nothing changed then. An empty answer is no change and no failure.
        Status answer = Done{};
        // The answer taken: whether param.ini keeps it, as typed. The number changes anyway; a
        // failure gives the reason param.ini could not be written.
        FileStatus stored = Done{};
    };
    // The answer to the port-number question ("Port COM" menu), as typed in the input box.
    PortChange changePortNumber(const QString &answer);

    // The two port buttons. openPort() opens the port when it is closed and switches DTR off right
    // after the device opens; when the device cannot be opened it fails with a sentence naming the
    // port number, the device and the reason, and the port stays closed.
    Status openPort();
    void closePort();

    // SendToBoard steps 2 to 5: opens the port when closed, DTR off, one write, the auto-close
    // (re)started for 4.5 s. When the port cannot be opened nothing is sent and no timer starts.
    // openPort() is step 2 alone (the clock command opens the port before it builds its message);
    // writeMessage() is steps 3 to 5. A failure is a sentence for the user.
    Status sendToBoard(const QByteArray &message);
    Status writeMessage(const QByteArray &message);

    // Writes out pending output (bounded), e.g. before the program quits.
    void flushPending(int msecs = 1000);

    // What was sent and received during the run, oldest first.
    const QList<JournalEntry> &journal() const { return m_journal; }

    // Where the machine's serial ports are listed, for the message that tells a port number
    // without a device: the numbered ports, those the port question offers.
    void setPortLister(std::function<QMap<int, SerialPortEntry>()> lister);
    // The port number has no device: what to do, naming the ports the machine has and the
    // "Ports" lines of param.ini that would give the number one.
    QString noDeviceMessage() const;

Q_SIGNALS:
    // Data received: everything waiting, as text (byte value = character code).
    void replyReceived(const QString &text);
    void openChanged(bool open);
    // The auto-close closed the port; answered: the board sent something since the last command.
    void autoClosed(bool answered);
    void journalAdded(const JournalEntry &entry);
    // The device went away while the port was open; the port is closed now. The text says so,
    // for the user; the next command that cannot open the port says it is still unplugged.
    void portLost(const QString &text);

private:
    void autoClose();
    void onData();
    void onDeviceLost();
    void addToJournal(JournalEntry entry);

    std::unique_ptr<SerialPort> m_port;
    QString m_paramIni;
    QTimer *m_autoClose = nullptr;
    int m_portNumber = 1;
    QString m_device;        // the device the port was last opened on
    bool m_lost = false;     // the device went away and has not been opened since
    bool m_answered = false; // something was received since the last command
    QList<JournalEntry> m_journal;
    std::function<QMap<int, SerialPortEntry>()> m_listPorts;
};

// The port number an answer to the port question designates, or 0 when the answer is refused.
// Accepted: optional blanks, an optional sign, digits with an optional fraction after "." or the
// locale's decimal separator, optional blanks; the value rounded to the nearest integer (halves to
// the even neighbour) must lie in 1..32767. Anything else ("abc", "3x", "1e2", "&H3") is refused.
int portNumberFromAnswer(const QString &answer);

} // namespace platine
