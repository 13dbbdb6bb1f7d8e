#pragma once
// An acquisition file of any length, browsed through the store.
//
// Opening one starts a reading thread (a file of up to 1 MB is read at once, without a thread) that
// goes once through the file and keeps, for what it read:
// the count of complete data rows, the file offset of every 64th row, the last period and
// capture-date lines, the skipped lines and the overview (model/Overview.h). That is about 1 byte a
// row for the offsets, plus an overview of bounded size (at most Overview::kMaxBlocks blocks of
// ~90 bytes), and the values of the first 2001 rows (144 kB), which the first window is made of. Any
// other window is read again from the file whenever it is asked for, from the offset kept for its
// first row's group of 64, with the same reading rule, so the values are exactly the ones a read of
// the whole file would give.
//
// The rows read so far are browsable while the thread runs; cancelling keeps them. The thread reads
// and parses a piece of the file (256 kB) on its own, then hands what it found over under a lock
// that the window reads, the overview and the progress take too; the lock is never held while the
// file is read or parsed.

#include "model/Overview.h"
#include "platform/Result.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
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
    AcquisitionFileProgress progress() const;
    // Asks the thread to stop; it stops within one piece of the file.
    void cancel();
    // Waits for the thread to end (tests, benchmarks and the destructor).
    void wait();

    // Replaces the store with the browsable rows first, first + 1, ... as far as it holds them,
    // and sets the rows it uses. Fails, leaving the store as it was, when the file is no longer
    // what was read (changed, shorter, gone) or cannot be read.
    Outcome<Done> fill(qint64 first, AcquisitionData &store) const;

    std::vector<OverviewColumn> overview(int columns) const;
    // The memory kept for the file: the offsets, the first rows and the overview.
    qint64 memoryBytes() const;

private:
    explicit AcquisitionFile(const QString &path);
    void read();

    const QString m_path;
    qint64 m_size = 0;
    QDateTime m_modified;

    mutable std::mutex m_mutex; // guards what follows
    AcquisitionFileProgress m_progress;
    QByteArray m_periodBytes;
    QByteArray m_dateBytes;
    std::vector<qint64> m_offsets; // of rows 0, 64, 128, ...
    std::vector<RowValues> m_head; // the first rows, as many as the store holds
    Overview m_overview;

    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
};

} // namespace platine
