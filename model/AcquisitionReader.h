#pragma once
// Reading an acquisition file written by the board into the acquisition store.
//
// The file is Windows-1252 text; a header line that is valid UTF-8 (and not plain ASCII) is read as
// UTF-8. A line ends at CR LF, at a lone CR or at a lone LF. Each line is
// classified by the first test that holds (case-sensitive substring searches):
//   contains "(s)" -> period line;   contains "/" -> capture-date line;
//   contains ";"   -> data line (one acquisition row);   otherwise the line is ignored.
// A data line carries nine ";"-terminated fields, one a channel in the order of Channel; each field
// is read with the leading-number rule, a comma between two digits counting as the decimal point
// ("21,5" is 21.5, "12.5" still 12.5), whatever follows the ninth ";" is ignored. Rows are stored
// from row 0 on.
//
// The load ends at once, keeping what is already stored, on a read error, on a data line with
// fewer than nine ";" (the fields before the missing separator are stored) and when a value would
// fall outside the store (row 2000 stores its temperature, its analog values and logic slot 8000,
// then the load ends).
//
// Lines are read with a bounded length: a line longer than kMaxLineBytes is cut there and the rest
// of it is skipped without being kept, so a wrong file (a large binary, a file without line ends)
// neither fills the memory nor slows the load beyond one pass over its bytes.

#include "platform/Result.h"

#include <QString>
#include <QtGlobal>

#include <optional>

class QByteArray;
class QIODevice;

namespace platine {

struct AcquisitionData;

struct AcquisitionReadResult {
    enum class End {
        EndOfFile, // every line was read
        ShortLine, // a data line with fewer than nine ";"
        Capacity,  // a value would have fallen outside the store
        ReadError, // the device failed while reading
    };

    std::optional<QString> periodLine; // the last period line read, without its line end
    std::optional<QString> dateLine;   // the last capture-date line read
    int rowsStored = 0;                // complete data lines stored (the row counter at the end)
    bool dataLineSeen = false;         // a line was read as a data line (complete or not)
    End end = End::EndOfFile;
    qint64 endLine = 0; // the line the load stopped at (counted from 1), 0 at the end of the file
    QString error;      // why the device failed (ReadError)
};

// Longest line kept, in bytes; the rest of a longer line is skipped.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;

// Reads the device from its current position into the store, from row 0 on. The store is not
// cleared: rows beyond the last data line keep what they held.
AcquisitionReadResult readAcquisition(QIODevice &device, AcquisitionData &store);
AcquisitionReadResult readAcquisition(const QByteArray &bytes, AcquisitionData &store);

// The "Ouvrir fichier" load: reads the file and, when it holds at least one data line, replaces the
// whole store with what it read (the rows beyond the file's are empty). A path that is not a
// regular file, or a file that cannot be opened, fails with the reason; a file without a data line
// gives its result (dataLineSeen false): in both cases the store is untouched.
Result<AcquisitionReadResult> loadAcquisitionFile(const QString &path, AcquisitionData &store);

} // namespace platine
