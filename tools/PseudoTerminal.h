#pragma once
// A POSIX pseudo-terminal standing in for a serial device: this side holds the master, the
// program opens the device path of the other side as its serial port. Closing the master makes
// the device vanish.

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <termios.h>

namespace platine {

class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { close(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Opens a new one with a raw line (bytes pass untouched), at `speed` unless it is B0; a
    // failure names the step the system refused and why. The device is opened and closed once:
    // from then on the master reports a hang-up whenever nobody holds the device.
    Status open(speed_t speed = B0);
    // The device vanishes: whoever holds it sees the end of the line.
    void close();
    bool isOpen() const { return m_master >= 0; }
    // The device, e.g. "/dev/pts/4"; empty when not open.
    QString devicePath() const { return m_device; }
    // Whether someone holds the device now.
    bool peerConnected() const;

    // Writes the bytes, waiting while the line is full; gives up after a second without
    // progress. Returns the number of bytes written, -1 when not open.
    qint64 write(const QByteArray &bytes);
    // The bytes that have come, without waiting.
    QByteArray readAvailable();
    // Reads until at least `count` bytes have come or `msecs` have passed, running the event loop
    // meanwhile so that the holder of the device can write.
    QByteArray readAtLeast(qsizetype count, int msecs);
    // The settings of the line, as its holder left them.
    termios settings() const;

private:
    int m_master = -1;
    QString m_device;
};

} // namespace platine
