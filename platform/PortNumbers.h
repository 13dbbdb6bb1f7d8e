#pragma once
// Port numbers and the devices they designate. The program knows its serial port by a number, as
// the board's users always have ("COM3"); on this machine a number designates a device file.

#include "platform/Dialogs.h"

#include <QList>
#include <QMap>
#include <QString>

namespace platine {

// The largest port number: numbers are 16-bit signed integers, and 0 designates no port.
inline constexpr int kMaxPortNumber = 32767;

// Which device a port number designates. Linux: COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31,
// COM65-96 /dev/ttyACM0-31; a "Ports" section of param.ini may name another device ("COM3" =
// "/dev/pts/4"; "COM03" names the same port, and of two keys naming one port the first in the file
// wins, even with an empty value). Windows: COMn. Empty for numbers without a device.
QString portDevice(int portNumber, const QString &paramIni);

// A serial device as the machine describes it.
struct SerialPortEntry {
    QString device;      // "/dev/ttyUSB0"
    QString description; // "FT232R USB UART", may be empty
};

// Whether two paths name the same device (a link such as /dev/serial/by-id/... and its target).
bool sameDevice(const QString &a, const QString &b);

// The "Ports" section of param.ini as portDevice() reads it: port number -> device (the numbers
// whose first key has an empty value are left out).
QMap<int, QString> portOverrides(const QString &paramIni);

// The inverse of portDevice(): the number that designates a device. A "Ports" entry naming the
// device comes first (the smallest such number); otherwise the device's usual number
// (/dev/ttyUSB0 -> 33), unless a "Ports" entry gives that number to another device. 0 when no
// number designates the device.
int portNumberForDevice(const QString &device, const QMap<int, QString> &overrides);
int portNumberForDevice(const QString &device, const QString &paramIni);

// The devices that have a number (a device without one cannot be chosen), by number: one a
// number, the first device that has it.
QMap<int, SerialPortEntry> numberedPorts(const QList<SerialPortEntry> &ports,
                                         const QMap<int, QString> &overrides);

// What the port-number box proposes: one suggestion per numbered port, in the order of the
// numbers, labelled "<number> — <device> — <description>" (without the last part when there is
// no description), whose value is the number alone: "33 — /dev/ttyUSB0 — FT232R USB UART"
// answers "33".
QList<InputSuggestion> portSuggestions(const QMap<int, SerialPortEntry> &ports);
QList<InputSuggestion> portSuggestions(const QList<SerialPortEntry> &ports,
                                       const QMap<int, QString> &overrides);

} // namespace platine
