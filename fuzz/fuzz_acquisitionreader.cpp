// Guards against: crashes, results that depend on how the device hands out bytes, lost read errors
// Input: byte 0 bits 0-5: most bytes a read gives (v + 1 below 48, else 2^(v - 42)), bit 6: the
// device fails half-way; the rest is the file, kept small (files of many rows: see
// fuzz_acquisitionlarge). Checked: in pieces as from memory, failures reported, rows in the store,
// each line sorted as the general rule sorts it, to the bit.
#include "AcquisitionCheck.h"
#include "model/LineSplitter.h"
#include "support/SortedAsTheRule.h"

using namespace platine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype v = data[0] & 0x3F;
    fuzz::checkAcquisitionRead(
        QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)),
        v < 48 ? v + 1 : qsizetype(1) << (v - 42), data[0] & 0x40);
    const auto sortedAsTheRule = [](QByteArrayView line, qint64) {
        if (!test::sortedAsTheRule(line))
            qFatal("a line sorted unlike the general rule");
        return true;
    };
    LineSplitter lines;
    lines.feed(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1), sortedAsTheRule);
    lines.finish(sortedAsTheRule);
    return 0;
}
