#pragma once
// Small helpers for the tests of this folder.

#include <QFile>
#include <QSignalSpy>

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

// The first argument of every signal a spy has caught.
inline QVariantList firstArgs(const QSignalSpy &spy)
{
    QVariantList out;
    for (const QVariantList &args : spy)
        out << args.value(0);
    return out;
}

} // namespace platine::test
