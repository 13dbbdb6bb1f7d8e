#pragma once
// Whole-file reads and writes for tests.

#include <QFile>

namespace platine::test {

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The lines of param.ini that make port number `port` designate `device`.
inline QByteArray portsSection(int port, const QString &device)
{
    return "[Ports]\r\nCOM" + QByteArray::number(port) + '=' + device.toLocal8Bit() + "\r\n";
}

// A param.ini at `path` that chooses port 3 and makes it designate `device`.
inline bool putPort3Ini(const QString &path, const QString &device)
{
    return putFile(path, "[Port COM]\r\nvaleur=3\r\n" + portsSection(3, device));
}

} // namespace platine::test
