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

// A param.ini at `path` that chooses port 3 and makes it designate `device`.
inline bool putPort3Ini(const QString &path, const QString &device)
{
    return putFile(path,
                   "[Port COM]\r\nvaleur=3\r\n[Ports]\r\nCOM3=" + device.toLocal8Bit() + "\r\n");
}

} // namespace platine::test
