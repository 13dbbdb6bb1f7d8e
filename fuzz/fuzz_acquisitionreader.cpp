// Guards against: crashes, unbounded memory, results that depend on how the device hands out bytes.
// Input: byte 0 bits 0-5: most bytes a read gives (v + 1 below 48, else 2^(v - 42)), bit 6: the
// device fails half-way; byte 1 below 0xF0: the rest is the file, else repeated (byte - 0xEF) * 256
// times up to 80 KiB. Checked: in pieces as from memory, failures reported, rows in the store.
#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"

#include <QIODevice>

#include <cstring>

using namespace platine;

// Hands out at most `piece` bytes a read, and fails once `failAt` bytes were read (-1: never).
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qsizetype times = data[1] < 0xF0 ? 1 : (data[1] - 0xEF) * 256, v = data[0] & 0x3F;
    PieceDevice in;
    in.bytes = body.repeated(qBound<qsizetype>(1, 81920 / qMax(body.size(), qsizetype(1)), times));
    in.piece = v < 48 ? v + 1 : qsizetype(1) << (v - 42);
    in.failAt = data[0] & 0x40 ? in.bytes.size() / 2 : -1;
    in.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    static AcquisitionData stores[2]; // 288 KiB each, too much for the stack
    stores[0].clear();
    stores[1].clear();
    const AcquisitionReadResult got = readAcquisition(in, stores[0]);
    const AcquisitionReadResult whole = readAcquisition(in.bytes, stores[1]);
    const auto key = [](const AcquisitionReadResult &r, const AcquisitionData &s) { // by value
        return std::tie(r.end, r.rowsStored, r.endLine, r.periodLine, r.dateLine, r.dataLineSeen,
                        s.columns);
    };
    if (got.rowsStored < 0 || got.rowsStored >= AcquisitionData::kRows
        || (in.failAt >= 0 && got.end == AcquisitionReadResult::End::EndOfFile))
        qFatal("row count %d outside the store, or a read error not reported", got.rowsStored);
    if (in.failAt < 0 && key(got, stores[0]) != key(whole, stores[1]))
        qFatal("read in pieces of %lld bytes unlike read from memory", qint64(in.piece));
    return 0;
}
