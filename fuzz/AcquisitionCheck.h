#pragma once
// The acquisition reader's check, shared by the small-input target and the large-file target: the
// bytes read through a device that hands them out in pieces (and may fail half-way) against the
// same bytes read from memory, and against the whole-file pass of long files fed the same pieces
// (by one thread and by two, which must keep the same), whose row offsets a window is read from. Only the rows a read can reach are cleared and
// compared, so that a small input costs little.
#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"
#include "model/FilePass.h"
#include "support/PassKept.h"
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

// Checked: the whole-file pass sorts the lines as a read does (rows, lines skipped, fields without
// a number, header lines), and a window read as a long file's windows are, from the offset the pass
// kept for its group of rows, gives the rows of the whole read; two threads sorting the lines keep
// what one keeps.
inline void checkFilePass(const QByteArray &bytes, qsizetype piece,
                          const AcquisitionReadResult &whole, const AcquisitionData &wholeRows,
                          AcquisitionData &scratch)
{
    static FilePass::Helper helper; // a thread for the whole run
    FilePass pass;
    FilePass shared;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        pass.feed(bytes.constData() + at, std::min(piece, bytes.size() - at));
        shared.feed(bytes.constData() + at, std::min(piece, bytes.size() - at), &helper);
    }
    pass.finish();
    shared.finish();
    const test::PassKept kept = test::passKept(shared);
    if (!(kept == test::passKept(pass)))
        qFatal("the pass keeps unlike with two threads");
    const LineSorter &s = pass.sorter();
    const auto text = [](const QByteArray &l) {
        return l.isNull() ? std::nullopt : std::optional(headerText(l));
    };
    if (whole.end == AcquisitionReadResult::End::EndOfFile
        && std::tuple(pass.rows(), s.skippedLines, s.firstSkipped, s.fieldsWithoutNumber,
                      s.firstWithoutNumber, text(s.periodLine), text(s.dateLine))
            != std::tuple(qint64(whole.rowsStored), whole.skippedLines, whole.firstSkippedLine,
                          whole.fieldsWithoutNumber, whole.firstWithoutNumber, whole.periodLine,
                          whole.dateLine))
        qFatal("the whole-file pass sorts the lines unlike a read");
    // A window from the middle row.
    const qint64 from = whole.rowsStored / 2;
    if (from == 0 || whole.rowsStored >= AcquisitionData::kRows)
        return;
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(kept.offsets[std::size_t(from / FilePass::kRowsPerOffset)]);
    const AcquisitionReadResult window = readAcquisition(buffer, scratch,
                                                         from % FilePass::kRowsPerOffset);
    if (window.rowsStored != whole.rowsStored - from
        || !sameRows(scratch, wholeRows, window.rowsStored, int(from)))
        qFatal("a window from row %lld unlike the rows of the whole read", from);
}

// Checked: the row count stays inside the store, a read error is reported, a read in pieces that
// does not fail gives what a read from memory gives, and the whole-file pass (above).
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
    checkFilePass(bytes, piece, whole, stores[1], stores[2]);
    clearRows(stores[2], reached);
    clearRows(stores[0], reached);
    clearRows(stores[1], reached);
}

} // namespace platine::fuzz
