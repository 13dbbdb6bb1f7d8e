#pragma once
// Small helpers for the tests of this folder.

#include "common/Files.h"

#include <QFile>
#include <QSignalSpy>

namespace platine::test {

// The first argument of every signal a spy has caught.
inline QVariantList firstArgs(const QSignalSpy &spy)
{
    QVariantList out;
    for (const QVariantList &args : spy)
        out << args.value(0);
    return out;
}

} // namespace platine::test
