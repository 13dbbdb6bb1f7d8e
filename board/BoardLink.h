#pragma once
// The board link: the serial port (objectName "Comm1"), the port number, SendToBoard and the
// auto-close timer (objectName "Timer3"). Window code calls these and shows what they report; it
// never touches the port itself.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QTimer;

namespace platine {

class SerialPort;

class BoardLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAutoCloseMs = 4500;

    // Takes the port (objectName "Comm1"). paramIni is where the port number and the "Ports"
    // device overrides are kept.
    BoardLink(std::unique_ptr<SerialPort> port, const QString &paramIni, QObject *parent = nullptr);
    ~BoardLink() override;

    int portNumber() const { return m_portNumber; }
    bool isOpen() const;
    SerialPort *port() const { return m_port.get(); }
    QTimer *autoCloseTimer() const { return m_autoClose; }

    // LoadPortSetting: the number kept in param.ini ("Port COM"/"valeur", leading number). Port 0,
    // a missing or unusable setting keeps the current number (1 at start).
    void loadPortSetting();

    // The answer to the port-number question ("Port COM" menu): applies the answer typed in the input box. Refused, with a reason in *error, when the
    // answer is not a number or the port is open; nothing changes then. An empty answer is no change
    // and no error (returns false, *error empty). On success the answer text is kept in param.ini
    // as typed; a failure to write param.ini is reported in *error but the number still changes.
    bool changePortNumber(const QString &answer, QString *error);

    // The two port buttons. openPort() switches DTR off right after the device opens; it returns
    // false, with a reason naming the port number and the device in *error, when the device
    // cannot be opened; the port then stays closed.
    bool openPort(QString *error);
    void closePort();

    // SendToBoard steps 2 to 5: opens the port when closed, DTR off, one write, the auto-close (re)started
    // for 4.5 s. When the port cannot be opened nothing is sent, no timer starts, and false is
    // returned with the reason in *error. ensureOpen() is step 2 alone (the clock command opens the
    // port before it builds its message); writeMessage() is steps 3 to 5.
    bool sendToBoard(const QByteArray &message, QString *error);
    bool ensureOpen(QString *error);
    bool writeMessage(const QByteArray &message, QString *error);

    // Writes out pending output (bounded), e.g. before the program quits.
    void flushPending(int msecs = 1000);

Q_SIGNALS:
    // Data received: everything waiting, as text (byte value = character code).
    void replyReceived(const QString &text);
    void openChanged(bool open);
    // The device went away while the port was open; the port is closed now.
    void portLost(const QString &reason);

private:
    void autoClose();
    void onData();
    void onDeviceLost(const QString &reason);
    QString portName() const; // "COM3" or "COM3 (/dev/ttyS2)" while a device is in use

    std::unique_ptr<SerialPort> m_port;
    QString m_paramIni;
    QTimer *m_autoClose = nullptr;
    int m_portNumber = 1;
    QString m_device; // the device the port was last opened on
};

// The port number an answer to the port question designates, or 0 when the answer is refused.
// Accepted: optional blanks, an optional sign, digits with an optional fraction after "." or the
// locale's decimal separator, optional blanks; the value rounded to the nearest integer (halves to
// the even neighbour) must lie in 1..32767. Anything else ("abc", "3x", "1e2", "&H3") is refused.
int portNumberFromAnswer(const QString &answer);

} // namespace platine
