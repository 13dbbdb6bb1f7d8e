#pragma once
// The machine's serial ports, through Qt SerialPort.

#include "platform/Dialogs.h"
#include "platform/PortNumbers.h"
#include "platform/SerialPort.h"

#include <QList>
#include <QMap>
#include <memory>

namespace platine {

// A SerialPort on QSerialPort: 9600 8N1 without handshake, one notification per burst.
std::unique_ptr<SerialPort> makeQtSerialPort(QObject *parent = nullptr);

// This machine's serial ports that have a number, by number: the ports it has, and the devices
// named in param.ini's "Ports" section that exist (the simulator's pseudo-terminal, for instance).
QMap<int, SerialPortEntry> availablePorts(const QString &paramIni);

} // namespace platine
