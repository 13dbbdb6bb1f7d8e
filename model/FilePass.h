#pragma once
// The pass over a whole acquisition file, fed its bytes in pieces as they are read. It sorts the
// lines as every read of rows does (LineSorter) and keeps what browsing the file needs, without
// the values of its rows: their count, the file offset of every kRowsPerOffset-th row, the first
// rows (as many as the store holds, the first window) and the overview. It is no thread's: the
// long-file reader runs it in its thread and hands what it found over; a test or a fuzz target
// runs it on bytes in memory.

#include "model/AcquisitionReader.h"
#include "model/LineSplitter.h"
#include "model/Overview.h"

#include <utility>
#include <vector>

namespace platine {

class FilePass
{
public:
    static constexpr qint64 kRowsPerOffset = 64;

    // A pass over a file of `size` bytes: room is made at once for the first rows it can hold.
    explicit FilePass(qint64 size = 0);

    // Goes through the lines that end in the next bytes of the file.
    void feed(const char *bytes, qsizetype size);
    // At the end of the file: the last line, when it has no line end.
    void finish();

    qint64 rows() const { return m_rows; } // complete data rows so far
    qint64 lines() const { return m_lines.lines(); }
    const LineSorter &sorter() const { return m_sorter; }
    const Overview &overview() const { return m_overview; }

    // The offsets of rows 0, kRowsPerOffset, 2 * kRowsPerOffset ... found since the last call,
    // moved out.
    std::vector<qint64> takeOffsets() { return std::exchange(m_offsets, {}); }
    // The first rows, as many as the store holds, moved out: once there are that many (no more
    // are kept after), or at the end of the file.
    std::vector<RowValues> takeFirstRows() { return std::exchange(m_firstRows, {}); }

private:
    void take(QByteArrayView line, qint64 offset);

    LineSplitter m_lines;
    LineSorter m_sorter;
    Overview m_overview;
    RowValues m_values{};
    qint64 m_rows = 0;
    std::vector<qint64> m_offsets;
    std::vector<RowValues> m_firstRows;
};

} // namespace platine
