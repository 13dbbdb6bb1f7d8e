#pragma once
// Reading an acquisition file written by the board.
//
// The file is Windows-1252 text; a header line that is valid UTF-8 (and not plain ASCII) is read as
// UTF-8. A line ends at CR LF, at a lone CR or at a lone LF (see model/LineSplitter.h, which also
// bounds the length of a line). Each line is classified by the first test that holds
// (case-sensitive substring searches):
//   contains "(s)" -> period line;   contains "/" -> capture-date line;
//   contains ";"   -> data line (one acquisition row);   otherwise the line is ignored.
// A data line carries nine ";"-terminated fields, one a channel in the order of Channel; each field
// is read with the leading-number rule, a comma between two digits counting as the decimal point
// ("21,5" is 21.5, "12.5" still 12.5), whatever follows the ninth ";" is ignored. A data line with
// fewer than nine ";" (a card pulled out while the board wrote it) is skipped whole and counted;
// the complete data lines are the file's rows, numbered from 0. A field that holds no number (empty,
// or letters) reads as 0, and is counted, so that the user can be told.

#include "model/Channel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>

class QIODevice;

namespace platine {

struct AcquisitionData;

enum class LineKind { Period, Date, Data, Other };
LineKind lineKind(QByteArrayView line);

// The nine values of a data line, in the order of Channel.
using RowValues = std::array<double, kChannelCount>;
// The values of a data line, and how many of its fields hold no number; nothing, and the values
// unspecified, when the line has fewer than nine ";".
std::optional<int> readDataLine(QByteArrayView line, RowValues &values);

// The text of a period or capture-date line.
QString headerText(QByteArrayView line);

// Sorts the lines of a file one at a time, by the rule above. The whole-file pass and every read
// of rows sort their lines with it, so that they agree on what a row is. It keeps the last period
// and capture-date lines, and counts the data lines cut short and the fields read as 0 because
// they hold no number, each with the line of the first.
class LineSorter
{
public:
    // Sorts line `number` (counted from 1). True, with its nine values, when it is a complete data
    // line: one row of the file.
    bool sort(QByteArrayView line, qint64 number, RowValues &values);
    // Adds what another sorter found in the lines that follow this one's, numbered from 1 where
    // this one numbers them from shift + 1: as if this one had sorted them.
    void take(const LineSorter &later, qint64 shift);

    QByteArray periodLine; // the last one read, as it stands in the file (null: none yet)
    QByteArray dateLine;
    qint64 skippedLines = 0;        // data lines with fewer than nine ";"
    qint64 firstSkipped = 0;        // the line of the first of them (0: none)
    qint64 fieldsWithoutNumber = 0; // fields of the rows that hold no number, read as 0
    qint64 firstWithoutNumber = 0;  // the line of the first of them (0: none)
};

struct AcquisitionReadResult {
    enum class End {
        EndOfFile, // every line was read
        Full,      // the rows asked for were stored (the store holds at most kRows)
        ReadError, // the device failed while reading
    };

    std::optional<QString> periodLine; // the last period line read, without its line end
    std::optional<QString> dateLine;   // the last capture-date line read
    int rowsStored = 0;                // rows stored, from row 0 of the store
    qint64 skippedLines = 0;           // data lines with fewer than nine ";"
    qint64 firstSkippedLine = 0;       // the first of them, counted from 1 (0: none)
    qint64 fieldsWithoutNumber = 0;    // fields of the rows read that hold no number
    qint64 firstWithoutNumber = 0;     // the line of the first of them (0: none)
    End end = End::EndOfFile;
    qint64 endLine = 0; // the line the read stopped at (counted from 1), 0 at the end of the file
    QString error;      // why the device failed (ReadError)
};

// Reads the device from its current position, the start of a line, into the store: the rows after
// the first `skip` go to rows 0, 1, ... of the store, at most `rows` of them and as far as the
// store holds them (its last row takes only its first logic value). The store is not cleared:
// rows beyond the last stored keep what they held.
AcquisitionReadResult readAcquisition(QIODevice &device, AcquisitionData &store, qint64 skip = 0,
                                      qint64 rows = -1);
AcquisitionReadResult readAcquisition(const QByteArray &bytes, AcquisitionData &store);
// The same read handing each row on instead of storing it (rowsStored: rows handed on): at most
// `rows` of them, all when negative.
AcquisitionReadResult readRows(QIODevice &device, qint64 skip, qint64 rows,
                               const std::function<void(const RowValues &)> &onRow);

// Stores the values of a row into row r of the store, as far as it holds them.
void storeRow(AcquisitionData &store, int r, const RowValues &values);
// The values of row r of the store (an empty slot counts as 0); nothing when it is not in use or
// lacks a channel's slot (the last row holds only its first logic value).
std::optional<RowValues> storedRow(const AcquisitionData &store, qint64 r);

} // namespace platine
