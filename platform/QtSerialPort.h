#pragma once
// The machine's serial ports, through Qt SerialPort.

#include "platform/Dialogs.h"
#include "platform/SerialPort.h"

#include <QList>
#include <memory>

namespace platine {

// A SerialPort on QSerialPort: 9600 8N1 without handshake, one notification per burst.
std::unique_ptr<SerialPort> makeQtSerialPort(QObject *parent = nullptr);

// The port-number box's suggestions for this machine: the serial ports it has, and the devices
// named in param.ini's "Ports" section that exist (the simulator's pseudo-terminal, for instance).
QList<InputSuggestion> availablePortSuggestions(const QString &paramIni);

} // namespace platine
