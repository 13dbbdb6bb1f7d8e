// Guards against: crashes, unbounded memory and piece-dependent results on files of many rows.
// Input: byte 0 bits 0-5: most bytes a read gives (v + 1 below 48, else 2^(v - 42)), bit 6: the
// device fails half-way; byte 1 below 0xF0: the rest is the file, else repeated (byte - 0xEF) * 256
// times up to 80 KiB. Checked: in pieces as from memory, failures reported, rows in the store.
#include "AcquisitionCheck.h"

using namespace platine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qsizetype times = data[1] < 0xF0 ? 1 : (data[1] - 0xEF) * 256, v = data[0] & 0x3F;
    fuzz::checkAcquisitionRead(
        body.repeated(qBound<qsizetype>(1, 81920 / qMax(body.size(), qsizetype(1)), times)),
        v < 48 ? v + 1 : qsizetype(1) << (v - 42), data[0] & 0x40);
    return 0;
}
