// The acquisition-file reader on any bytes.
//
// Input: byte 0 chooses how the file is delivered, byte 1 how often the rest (the body) is
// repeated to make the file, so that short inputs reach the store's capacity and the line-length
// bound; the file is never larger than 80 KiB (more than one of the reader's chunks, more than
// the longest line kept).
//   byte 0, bits 0-5: the largest piece one read of the device gives: v + 1 bytes below 48,
//                     else 2^(v - 42) bytes (64 bytes to 2 MiB);
//   byte 0, bit 6:    the device fails once half of the file was read;
//   byte 1:           below 0xF0 the body once, else (byte - 0xEF) * 256 times (rarely: large
//                     files are slow to check, most inputs should be small).
//
// The file is read through a device that gives it in pieces and, unless the body was repeated,
// from memory too (readAcquisition on the bytes). Checked for every input:
//  - no crash, no read or write outside any buffer (AddressSanitizer), bounded memory (run with
//    -rss_limit_mb);
//  - the result and the whole store equal those of a plain model of the documented format: lines
//    end at CR LF, lone CR or lone LF and are kept up to kMaxLineBytes; "(s)" period line, "/" date
//    line, ";" data line of nine fields read with the leading-number rule; rows from 0 on, logic
//    slots 4r .. 4r + 3; the load ends on a short line or when a value would fall outside the
//    store, and every slot it did not store is still empty;
//  - with a read error: the same as the model on the bytes read before it, the line it cut
//    dropped.

#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"
#include "platform/Ansi.h"
#include "platform/LeadingNumber.h"

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {

using platine::AcquisitionData;
using platine::AcquisitionReadResult;
using End = AcquisitionReadResult::End;

[[noreturn]] void fail(const char *what, long long detail = 0)
{
    std::fprintf(stderr, "fuzz_acquisitionreader: %s (%lld)\n", what, detail);
    std::abort();
}

// A device that hands out at most `piece` bytes per read and may fail at a given position.
class PieceDevice : public QIODevice
{
public:
    PieceDevice(const QByteArray &bytes, qsizetype piece, qsizetype failAt)
        : m_bytes(bytes), m_piece(piece), m_failAt(failAt)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_failAt >= 0 && m_pos >= m_failAt)
            return -1;
        qsizetype n = std::min<qsizetype>({qsizetype(maxSize), m_piece, m_bytes.size() - m_pos});
        if (m_failAt >= 0)
            n = std::min(n, m_failAt - m_pos);
        std::copy_n(m_bytes.constData() + m_pos, n, data);
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qsizetype m_piece, m_failAt, m_pos = 0;
};

// The documented format, read the plain way.
AcquisitionReadResult model(QByteArrayView file, bool readError, AcquisitionData &store)
{
    AcquisitionReadResult r;
    qsizetype row = 0;
    qsizetype pos = 0;
    while (pos < file.size()) {
        qsizetype end = pos;
        while (end < file.size() && file[end] != '\r' && file[end] != '\n')
            ++end;
        if (end == file.size() && readError)
            break; // a line cut by the read error
        const QByteArrayView line = file.sliced(pos, std::min(end - pos, platine::kMaxLineBytes));
        pos = end + 1;
        if (end + 1 < file.size() && file[end] == '\r' && file[end + 1] == '\n')
            ++pos;

        if (line.contains("(s)")) {
            r.periodLine = platine::fromAnsi(line);
            continue;
        }
        if (line.contains('/')) {
            r.dateLine = platine::fromAnsi(line);
            continue;
        }
        if (!line.contains(';'))
            continue;
        qsizetype from = 0;
        for (int field = 0; field < 9; ++field) {
            const qsizetype sep = line.indexOf(';', from);
            if (sep < 0) {
                r.end = End::ShortLine;
                r.rowsStored = int(row);
                return r;
            }
            const QString text = platine::fromAnsi(line.sliced(from, sep - from));
            const double v = platine::leadingNumber(text);
            const qsizetype index = field < 5 ? row : 4 * row + field - 5;
            const qsizetype capacity =
                field < 5 ? AcquisitionData::kRows : AcquisitionData::kLogicSlots;
            if (index >= capacity) {
                r.end = End::Capacity;
                r.rowsStored = int(row);
                return r;
            }
            auto &array = field == 0 ? store.temperature
                : field == 1         ? store.analog1
                : field == 2         ? store.analog2
                : field == 3         ? store.analog3
                                     : store.analog4;
            if (field < 5)
                array[std::size_t(index)] = v;
            else
                store.logic[std::size_t(index)] = v;
            from = sep + 1;
        }
        ++row;
    }
    r.rowsStored = int(row);
    if (readError)
        r.end = End::ReadError;
    return r;
}

// The stores are compared and emptied as whole blocks of bytes: slot by slot, the instrumented
// comparisons would cost far more than the load itself. Every store starts as zero bytes (all
// slots empty) and a load only ever sets a slot's value and flag, so equal stores are equal bytes.
static_assert(std::is_trivially_copyable_v<AcquisitionData>);

void empty(AcquisitionData &store)
{
    std::memset(static_cast<void *>(&store), 0, sizeof store);
}

template <std::size_t N>
void compareArrays(const std::array<AcquisitionData::Slot, N> &a,
                   const std::array<AcquisitionData::Slot, N> &b, const char *what)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (a[i] != b[i])
            fail(what, static_cast<long long>(i));
    }
}

void compare(const AcquisitionReadResult &a, const AcquisitionData &sa,
             const AcquisitionReadResult &b, const AcquisitionData &sb, const char *what)
{
    if (a.end != b.end)
        fail(what, 1000 + int(a.end) * 10 + int(b.end));
    if (a.rowsStored != b.rowsStored)
        fail(what, a.rowsStored - b.rowsStored);
    if (a.periodLine != b.periodLine)
        fail(what, -1);
    if (a.dateLine != b.dateLine)
        fail(what, -2);
    if (std::memcmp(&sa, &sb, sizeof sa) == 0)
        return;
    compareArrays(sa.temperature, sb.temperature, what); // which slot differs
    compareArrays(sa.analog1, sb.analog1, what);
    compareArrays(sa.analog2, sb.analog2, what);
    compareArrays(sa.analog3, sb.analog3, what);
    compareArrays(sa.analog4, sb.analog4, what);
    compareArrays(sa.logic, sb.logic, what);
    fail(what, -3); // same values, different bytes: a slot flagged empty with a value
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int v = data[0] & 0x3F;
    const qsizetype piece = v < 48 ? v + 1 : qsizetype(1) << (v - 42);
    const bool failing = (data[0] & 0x40) != 0;
    const qsizetype times = data[1] < 0xF0 ? 1 : (data[1] - 0xEF) * 256;
    const QByteArray body(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    constexpr qsizetype kMaxFile = 80 * 1024;
    const qsizetype fit = kMaxFile / std::max<qsizetype>(body.size(), 1);
    const QByteArray file = body.repeated(std::max<qsizetype>(1, std::min(times, fit)));

    // Three stores (the program's one is 288 KiB, too much for the stack).
    static const auto stores = std::make_unique<AcquisitionData[]>(3);
    AcquisitionData &expected = stores[0], &fromMemory = stores[1], &fromPieces = stores[2];
    for (int i = 0; i < 3; ++i)
        empty(stores[i]);

    // From memory (the reader's QByteArray entry, whole chunks), for files made of one body: a
    // repeated body costs its time in the checks, and the device below covers its chunks too.
    if (file.size() == body.size()) {
        const AcquisitionReadResult want = model(file, false, expected);
        const AcquisitionReadResult got = platine::readAcquisition(file, fromMemory);
        compare(want, expected, got, fromMemory, "load from memory differs from the format");
        empty(expected);
    }

    // Through the device, in pieces, perhaps failing half-way: the same as the format on the
    // bytes read before the failure, the line it cut dropped.
    PieceDevice device(file, piece, failing ? file.size() / 2 : -1);
    const AcquisitionReadResult got = platine::readAcquisition(device, fromPieces);
    const AcquisitionReadResult want = failing
        ? model(QByteArrayView(file).first(file.size() / 2), true, expected)
        : model(file, false, expected);
    compare(want, expected, got, fromPieces, "load in pieces differs from the format");
    if (got.rowsStored < 0 || got.rowsStored >= AcquisitionData::kRows)
        fail("row count outside the store", got.rowsStored);
    return 0;
}
