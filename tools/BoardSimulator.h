#pragma once
// A stand-in for the logger board on a pseudo-terminal. The program opens the terminal's device
// as its serial port (param.ini "[Ports]" "COM<n>=<device>"); the simulator decodes the commands
// it receives, answers the clock command "A" with its new time as one text line, and sends its
// clock as text once a second while the program's side is open, like the board's clock read-out.

#include "platform/Result.h"
#include "tools/PseudoTerminal.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

namespace platine {

class BoardSimulator : public QObject
{
    Q_OBJECT
public:
    static constexpr int kClockCommandSize = 8;      // "A" + 7 bytes
    static constexpr int kScheduleCommandSize = 125; // "B" + 124 bytes
    static constexpr int kIncompleteMs = 1000;       // a command not complete by then is dropped

    explicit BoardSimulator(QObject *parent = nullptr);
    ~BoardSimulator() override;

    // Opens the pseudo-terminal (raw line); a failure names the step the system refused and why.
    Status start();
    // Closes it: for the program the device vanishes.
    void stop();
    bool isRunning() const { return m_pty.isOpen(); }

    // The device the program opens, e.g. "/dev/pts/4"; empty when not running.
    QString devicePath() const { return m_pty.devicePath(); }
    // The param.ini lines that make port number `portNumber` designate this device:
    // "[Ports]" and "COM<n>=<device>".
    QStringList paramIniLines(int portNumber) const;

    // The clock read-out every `msecs` milliseconds while the program's side is open; 0 turns it
    // off. 1000 by default.
    void setClockInterval(int msecs);
    int clockInterval() const { return m_clockInterval; }
    QDateTime boardTime() const;
    void setBoardTime(const QDateTime &time);

    // Answers the next command with this line (CR LF added) instead of its own answer, and does
    // not carry it out: the board refusing a command.
    void refuseNext(const QString &line) { m_refusal = line; }

    // Whether the program has the device open now.
    bool peerConnected() const { return m_pty.peerConnected(); }

    // Sends text to the program, as the board would: one byte per character (Latin-1), in one
    // write. Returns the number of bytes written, -1 when not running.
    qint64 sendText(const QString &text);
    qint64 sendBytes(const QByteArray &bytes) { return m_pty.write(bytes); }

    // The bytes received since start() and the complete commands, the latest kKeptBytes and
    // kKeptCommands of them (a long run keeps no more), and how many there were in all.
    static constexpr qsizetype kKeptBytes = 64 * 1024;
    static constexpr qsizetype kKeptCommands = 256;
    QByteArray received() const { return m_received; }
    QList<QByteArray> commands() const { return m_commands; }
    qint64 receivedCount() const { return m_receivedCount; }
    qint64 commandCount() const { return m_commandCount; }

    // Texts the simulator prints and sends.
    static QString hex(const QByteArray &bytes);        // "41 14 07 35"
    static QString describe(const QByteArray &command); // hex line, then the decoded lines
    static QString clockText(const QDateTime &time);    // "14:07:35 28/02/2007" (the read-out)

Q_SIGNALS:
    // A complete command came in; description is describe(command).
    void commandReceived(const QByteArray &command, const QString &description);
    // Bytes that start no command, or a command that stayed incomplete.
    void junkReceived(const QByteArray &bytes, const QString &description);
    // Text sent to the program (answers and clock read-outs).
    void textSent(const QString &text);

private:
    void poll();
    void parse();
    void dropIncomplete();
    void handle(const QByteArray &command);
    void clockTick();

    PseudoTerminal m_pty;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_clockTimer = nullptr;
    QTimer *m_incompleteTimer = nullptr;
    int m_clockInterval = 1000;
    qint64 m_clockOffsetMs = 0; // board clock minus computer clock
    QByteArray m_pending;
    QString m_refusal;
    QByteArray m_received;
    QList<QByteArray> m_commands;
    qint64 m_receivedCount = 0;
    qint64 m_commandCount = 0;
};

} // namespace platine
