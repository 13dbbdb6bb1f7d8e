#pragma once
// The serial ports the port-number box proposes: each port present on the machine with the number
// that designates it, e.g. "33 — /dev/ttyUSB0 — FT232R USB UART". Choosing one answers "33".

#include "platform/Dialogs.h"

#include <QList>
#include <QMap>
#include <QString>

namespace platine {

// A serial device as the machine describes it.
struct SerialPortEntry {
    QString device;      // "/dev/ttyUSB0"
    QString description; // "FT232R USB UART", may be empty
};

// The "Ports" section of param.ini as portDevice() reads it: port number -> device.
QMap<int, QString> portOverrides(const QString &paramIni);

// The inverse of portDevice(): the number that designates a device. A "Ports" entry naming the
// device comes first (the smallest such number; a link such as /dev/serial/by-id/... names the
// device it leads to); otherwise the device's usual number (/dev/ttyUSB0 -> 33), unless a "Ports"
// entry gives that number to another device. 0 when no number designates the device.
int portNumberForDevice(const QString &device, const QMap<int, QString> &overrides);
int portNumberForDevice(const QString &device, const QString &paramIni);

// One suggestion per device that has a number (a device without one cannot be chosen), in the
// order of the numbers: label "<number> — <device> — <description>" (without the last part when
// there is no description), value the number alone.
QList<InputSuggestion> portSuggestions(const QList<SerialPortEntry> &ports,
                                       const QMap<int, QString> &overrides);

// The suggestions for this machine: the serial ports it has, and the devices named in "Ports"
// that exist (the simulator's pseudo-terminal, for instance).
QList<InputSuggestion> availablePortSuggestions(const QString &paramIni);

} // namespace platine
