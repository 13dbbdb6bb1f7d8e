#pragma once
// Single-byte Windows-1252 text, as the board and the profile files use it.

#include <QByteArray>
#include <QString>

namespace platine {

QString fromAnsi(QByteArrayView bytes);
// Text that may have been written in UTF-8: bytes that are valid UTF-8 and not plain ASCII are read
// as UTF-8, anything else as Windows-1252 ("Période" either way).
QString fromUtf8OrAnsi(QByteArrayView bytes);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray toAnsi(QStringView text);

// Serial traffic is carried byte for byte: character code = byte value (Latin-1).
QString fromWire(QByteArrayView bytes);
QByteArray toWire(QStringView text); // codes above 255 become '?'

} // namespace platine
