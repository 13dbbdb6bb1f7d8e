#pragma once
// A read-only device that hands out at most `piece` bytes a read and fails once `failAt` bytes
// were read (-1: never), as a slow or failing card reader would. Shared by the tests and the
// acquisition reader's fuzz targets.

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace platine::test {

struct PieceDevice : QIODevice {
    QByteArray bytes;
    qsizetype piece = 1, failAt = -1, pos = 0;
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = std::min<qint64>({max, piece, (failAt < 0 ? bytes.size() : failAt) - pos});
        memcpy(out, bytes.constData() + pos, size_t(n));
        pos += n;
        return n > 0 || failAt < 0 ? n : -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace platine::test
