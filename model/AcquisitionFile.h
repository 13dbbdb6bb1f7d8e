#pragma once
// An acquisition file of any length, browsed through the store.
//
// Opening one starts a reading thread (a file of up to 1 MB is read at once, without a thread) that
// goes once through the file (model/FilePass.h) and keeps, for what it read: the count of complete
// data rows, the file offset of every 64th row, the last period and capture-date lines, the lines
// skipped and the fields without a number, the overview (model/Overview.h) and the values of the
// first 2001 rows (144 kB), which the first window is made of. That is about 1 byte a row for the
// offsets, plus an overview of bounded size (at most Overview::kMaxBlocks blocks of ~90 bytes). Any
// other window is read again from the file whenever it is asked for, from the offset kept for its
// first row's group of 64, with the same reading rule, so the values are exactly the ones a read of
// the whole file would give.
//
// The rows read so far are browsable while the thread runs; cancelling keeps them. The thread reads
// a piece of the file (256 kB, then 1 MB), has its lines sorted and kept by itself and a second
// thread that lives as long as the read (FilePass::Helper), adds them up and puts their blocks'
// figures in the index on its own, reading the next piece meanwhile, then hands over what the piece
// brought (offsets, counts, the blocks indexed, once the first rows) under a lock that the window
// reads and the progress take too,
// each for a few microseconds: the lock is never held while the file is read or parsed, nor while
// the overview or the index is built or the overview folded into columns. Neither side
// waits for the other where it has no need to: a look at the progress or the overview while the
// thread holds the lock gives what was there before, and what a piece brought while a caller
// holds it is handed over with the next piece.

#include "model/FilePass.h"
#include "model/MeasuredMutex.h"
#include "platform/Result.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace platine {

struct AcquisitionData;

struct AcquisitionFileProgress {
    enum class State {
        Reading,   // the thread is still going through the file
        Done,      // the whole file was read
        Cancelled, // the read was cancelled: the rows read until then are browsable
        ReadError, // reading failed: the rows read until then are browsable
    };
    State state = State::Reading;
    qint64 bytesRead = 0;
    qint64 size = 0;                   // of the file when it was opened
    qint64 rows = 0;                   // complete data rows read: the browsable part
    qint64 skippedLines = 0;           // data lines with fewer than nine ";"
    qint64 firstSkipped = 0;           // the line number of the first of them (from 1)
    qint64 fieldsWithoutNumber = 0;    // fields of the rows that hold no number, read as 0
    qint64 firstWithoutNumber = 0;     // the line number of the first of them
    qint64 lines = 0;                  // lines read
    std::optional<QString> periodLine; // the last one read
    std::optional<QString> dateLine;
    QString error; // why reading failed

    bool running() const { return state == State::Reading; }
};

// Why a file could not be opened, or a window of it not read again.
struct AcquisitionFileFailure {
    enum class Kind {
        Missing,    // no file at that path
        NotRegular, // a folder, a device, a pipe: no acquisition file
        Gone,       // the file went away since it was opened
        Changed,    // its size or time changed since it was opened: not what was read
        NoSuchRow,  // a window asked from a row the file does not have (`row`)
        System,     // the system refused: its words in `reason`
    };
    Kind kind = Kind::System;
    QString reason;
    qint64 row = 0;
};

class AcquisitionFile
{
public:
    template <typename T> using Outcome = Result<T, AcquisitionFileFailure>;

    // Starts reading the file. Fails when it is not a regular file or cannot be opened.
    static Outcome<std::unique_ptr<AcquisitionFile>> open(const QString &path);
    ~AcquisitionFile(); // stops the thread

    AcquisitionFile(const AcquisitionFile &) = delete;
    AcquisitionFile &operator=(const AcquisitionFile &) = delete;

    const QString &path() const { return m_path; }
    // How the read goes. Never waits for the thread: while it hands a piece over, what this gave
    // last (callers: one thread).
    AcquisitionFileProgress progress() const;
    // Asks the thread to stop; it stops within one piece of the file.
    void cancel();
    // Waits for the thread to end (tests, benchmarks and the destructor).
    void wait();

    // Replaces the store with the browsable rows first, first + 1, ... as far as it holds them,
    // and sets the rows it uses. Fails, leaving the store as it was, when the file is no longer
    // what was read (changed, shorter, gone) or cannot be read.
    Outcome<Done> fill(qint64 first, AcquisitionData &store) const;

    // Hands rows first .. first + count - 1 (within the browsable rows) to onRow, in order, read
    // again from the file. Fails as fill() does.
    Outcome<Done> readRows(qint64 first, qint64 count,
                           const std::function<void(qint64 row, const RowValues &)> &onRow) const;
    // The figures of rows first .. end - 1 (kept within the browsable rows): those of the blocks
    // they hold whole from the index, the rest read again from the file.
    Outcome<Figures> figures(qint64 first, qint64 end) const;
    // The figures of the spans bounds[i] .. bounds[i + 1] - 1, for bounds in increasing order (kept
    // within the browsable rows). Spans of whole blocks cost no read; the others are read once.
    Outcome<std::vector<Figures>> figures(const std::vector<qint64> &bounds) const;

    // The overview of the rows read so far in `columns` columns, when there is news of it. While
    // the thread runs: the columns it made since the last call, or nothing; each call asks it for
    // new ones, which it makes after its next piece, so that one look at the overview costs the
    // caller the same however long the file is. Once the thread has ended: the whole file's.
    std::optional<std::vector<OverviewColumn>> overview(int columns);
    // The memory kept for the file once it is read: the offsets, the first rows and the overview.
    qint64 memoryBytes() const;
    // The longest the thread and its callers waited for the lock they share, and held it.
    MeasuredMutex::Longest lockTimes() const { return m_mutex.longest(); }

private:
    AcquisitionFile(const QString &path, qint64 size);
    // With `helped`, two threads sort the lines.
    void read(bool helped);
    // Whether the file is still what was read.
    std::optional<AcquisitionFileFailure> changed() const;

    const QString m_path;
    const qint64 m_size;
    QDateTime m_modified;
    // The thread's alone while it runs; read by the callers only once it has ended.
    FilePass m_pass;
    // Appended by the thread outside the lock (but when it moves: FigureIndex::appendMoves());
    // the callers read its first m_indexed blocks under the lock, which the appends never write.
    FigureIndex m_index;

    mutable AcquisitionFileProgress m_lastProgress; // what progress() gave last

    mutable MeasuredMutex m_mutex; // guards what follows
    AcquisitionFileProgress m_progress;
    QByteArray m_periodBytes;
    QByteArray m_dateBytes;
    std::deque<qint64> m_offsets; // of rows 0, 64, 128, ...; never moved when it grows
    // As many as the store holds, handed over once; never changed after.
    std::shared_ptr<const std::vector<RowValues>> m_firstRows;
    qint64 m_indexed = 0; // blocks of the index handed over: those read whole, and the last
                          // once the file is read
    std::vector<OverviewColumn> m_columns; // made by the thread when asked
    bool m_columnsMade = false;            // and not taken yet

    std::atomic<int> m_columnsWanted{0}; // how many columns the next ones should have
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
};

} // namespace platine
