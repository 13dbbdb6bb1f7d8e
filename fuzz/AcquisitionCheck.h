#pragma once
// The acquisition reader's check, shared by the small-input target and the large-file target: the
// bytes read through a device that hands them out in pieces (and may fail half-way) against the
// same bytes read from memory. Only the rows a read can reach are cleared and compared, so that a
// small input costs little.
#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"
#include "support/PieceDevice.h"

#include <QBuffer>

#include <algorithm>

namespace platine::fuzz {

// Whether the rows [0, rows) of a are the rows [from, from + rows) of b.
inline bool sameRows(const AcquisitionData &a, const AcquisitionData &b, int rows, int from = 0)
{
    for (Channel c : kAllChannels) {
        if (!std::equal(a[c].begin(), a[c].begin() + rows, b[c].begin() + from))
            return false;
    }
    return true;
}

// Empties the rows [0, rows) of the store.
inline void clearRows(AcquisitionData &s, int rows)
{
    for (Channel c : kAllChannels)
        std::fill(s[c].begin(), s[c].begin() + std::min(rows, AcquisitionData::kRows),
                  std::nullopt);
}

// Checked: the row count stays inside the store, a read error is reported, a read in pieces that
// does not fail gives what a read from memory gives, and a read that skips rows gives the same rows
// as the whole read from there on.
inline void checkAcquisitionRead(const QByteArray &bytes, qsizetype piece, bool failHalfWay)
{
    test::PieceDevice in;
    in.bytes = bytes;
    in.piece = piece;
    in.failAt = failHalfWay ? bytes.size() / 2 : -1;
    in.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    static AcquisitionData stores[3]; // 288 KiB each, too much for the stack; empty between runs
    const AcquisitionReadResult got = readAcquisition(in, stores[0]);
    const AcquisitionReadResult whole = readAcquisition(in.bytes, stores[1]);
    const int reached = std::max(got.rowsStored, whole.rowsStored); // a read stores whole rows
    const auto key = [](const AcquisitionReadResult &r) {
        return std::make_tuple(r.end, r.rowsStored, r.endLine, r.periodLine, r.dateLine,
                               r.skippedLines, r.firstSkippedLine);
    };
    if (got.rowsStored < 0 || got.rowsStored > AcquisitionData::kRows
        || (in.failAt >= 0 && got.end == AcquisitionReadResult::End::EndOfFile))
        qFatal("row count %d outside the store, or a read error not reported", got.rowsStored);
    if (in.failAt < 0
        && (key(got) != key(whole)
            || !sameRows(stores[0], stores[1], std::min(reached, AcquisitionData::kRows))))
        qFatal("read in pieces of %lld bytes unlike read from memory", qint64(in.piece));
    // The stores were empty before: nothing beyond the rows reached was written.
    if (reached < AcquisitionData::kRows) {
        for (const AcquisitionData &s : stores) {
            for (Channel c : kAllChannels) {
                if (s[c][std::size_t(reached)])
                    qFatal("a value stored beyond the rows read");
            }
        }
    }
    // A window from row `skip` on holds the rows the whole read put there.
    const int skip = whole.rowsStored / 2;
    if (skip > 0 && whole.rowsStored < AcquisitionData::kRows) {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        const AcquisitionReadResult window = readAcquisition(buffer, stores[2], skip);
        if (window.rowsStored != whole.rowsStored - skip)
            qFatal("a window of %d rows from row %d", window.rowsStored, skip);
        if (!sameRows(stores[2], stores[1], window.rowsStored, skip))
            qFatal("a window unlike the rows of the whole read");
        clearRows(stores[2], window.rowsStored);
    }
    clearRows(stores[0], reached);
    clearRows(stores[1], reached);
}

} // namespace platine::fuzz
