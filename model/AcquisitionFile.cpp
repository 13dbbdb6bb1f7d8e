#include "model/AcquisitionFile.h"

#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"
#include "model/LineSplitter.h"

#include <QFile>
#include <QFileInfo>

namespace platine {

namespace {

constexpr qint64 kRowsPerOffset = 64;
constexpr qint64 kPiece = 256 * 1024;
// A file this small is read at once, in the caller's thread: in a few milliseconds at most, and
// without the cost of starting a thread.
constexpr qint64 kReadAtOnce = 1024 * 1024;

using Kind = AcquisitionFileFailure::Kind;

AcquisitionFileFailure failure(Kind kind, const QString &reason = {}, qint64 row = 0)
{
    return {kind, reason, row};
}

} // namespace

AcquisitionFile::Outcome<std::unique_ptr<AcquisitionFile>>
AcquisitionFile::open(const QString &path)
{
    // Only regular files: a directory, a device or a pipe is no acquisition file (a device such
    // as /dev/zero would never end).
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return failure(Kind::Missing);
    if (!info.isFile())
        return failure(Kind::NotRegular);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Kind::System, file.errorString());
    std::unique_ptr<AcquisitionFile> opened(new AcquisitionFile(path));
    opened->m_size = info.size();
    opened->m_modified = info.lastModified();
    opened->m_progress.size = info.size();
    AcquisitionFile *self = opened.get();
    if (info.size() <= kReadAtOnce)
        self->read();
    else
        opened->m_thread = std::thread([self] { self->read(); });
    return opened;
}

AcquisitionFile::AcquisitionFile(const QString &path) : m_path(path) {}

AcquisitionFile::~AcquisitionFile()
{
    cancel();
    wait();
}

void AcquisitionFile::cancel()
{
    m_cancel = true;
}

void AcquisitionFile::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

AcquisitionFileProgress AcquisitionFile::progress() const
{
    const std::lock_guard lock(m_mutex);
    AcquisitionFileProgress p = m_progress;
    if (!m_periodBytes.isNull())
        p.periodLine = headerText(m_periodBytes);
    if (!m_dateBytes.isNull())
        p.dateLine = headerText(m_dateBytes);
    return p;
}

void AcquisitionFile::read()
{
    using State = AcquisitionFileProgress::State;
    QFile file(m_path);
    const bool opened = file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    LineSplitter lines;
    // What one piece of the file brings, gathered without the lock and then handed over under it,
    // so that the lock is held only for the hand-over.
    struct Piece {
        std::vector<qint64> offsets;
        std::vector<RowValues> rows;
        qint64 skipped = 0;
        qint64 firstSkipped = 0;
        QByteArray period;
        QByteArray date;
    } piece;
    qint64 rows = 0; // read so far (this thread is the only writer)
    RowValues values{};
    const auto onLine = [&](QByteArrayView line, qint64 offset) {
        switch (lineKind(line)) {
        case LineKind::Period: piece.period = line.toByteArray(); return true;
        case LineKind::Date: piece.date = line.toByteArray(); return true;
        case LineKind::Other: return true;
        case LineKind::Data: break;
        }
        if (!readDataLine(line, values)) {
            if (piece.skipped++ == 0) // the file's first is told at the hand-over
                piece.firstSkipped = lines.lines();
            return true;
        }
        if (rows++ % kRowsPerOffset == 0)
            piece.offsets.push_back(offset);
        piece.rows.push_back(values);
        return true;
    };
    const auto handOver = [&](qint64 bytes) {
        const std::lock_guard lock(m_mutex);
        m_offsets.insert(m_offsets.end(), piece.offsets.begin(), piece.offsets.end());
        for (const RowValues &row : piece.rows) {
            m_overview.add(row);
            if (qsizetype(m_head.size()) < AcquisitionData::kRows)
                m_head.push_back(row);
        }
        m_progress.rows += qint64(piece.rows.size());
        if (piece.skipped && m_progress.skippedLines == 0)
            m_progress.firstSkipped = piece.firstSkipped;
        m_progress.skippedLines += piece.skipped;
        if (!piece.period.isNull())
            m_periodBytes = piece.period;
        if (!piece.date.isNull())
            m_dateBytes = piece.date;
        m_progress.bytesRead += bytes;
        m_progress.lines = lines.lines();
        piece.offsets.clear();
        piece.rows.clear();
        piece.skipped = 0;
        piece.period = piece.date = QByteArray();
    };
    const auto end = [&](State state, const QString &error = {}) {
        const std::lock_guard lock(m_mutex);
        m_progress.state = state;
        m_progress.error = error;
    };

    // A small file needs no more than its size (and one byte to see its end).
    const qint64 bufferSize = std::min(kPiece, m_size + 1);
    const auto buffer = std::make_unique<char[]>(std::size_t(bufferSize));
    // A data line has at least 19 bytes.
    piece.rows.reserve(std::size_t(bufferSize / 19 + 1));
    {
        const std::lock_guard lock(m_mutex);
        m_head.reserve(std::size_t(std::min<qint64>(AcquisitionData::kRows, m_size / 19 + 1)));
    }
    for (;;) {
        if (m_cancel)
            return end(State::Cancelled);
        const qint64 n = opened ? file.read(buffer.get(), bufferSize) : -1;
        if (n < 0)
            return end(State::ReadError, file.errorString());
        if (n == 0) {
            lines.finish(onLine);
            handOver(0);
            return end(State::Done);
        }
        lines.feed(buffer.get(), n, onLine);
        handOver(n);
    }
}

AcquisitionFile::Outcome<Done> AcquisitionFile::fill(qint64 first, AcquisitionData &store) const
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return failure(Kind::Gone);
    if (info.size() != m_size || info.lastModified() != m_modified)
        return failure(Kind::Changed);
    qint64 offset = 0;
    qint64 rows = 0;
    {
        const std::lock_guard lock(m_mutex);
        if (first < 0 || first >= m_progress.rows)
            return failure(Kind::NoSuchRow, {}, first);
        offset = m_offsets[std::size_t(first / kRowsPerOffset)];
        rows = std::min<qint64>(m_progress.rows - first, AcquisitionData::kRows);
        if (first == 0 && qint64(m_head.size()) >= rows) { // the first rows, kept from the read
            store.clear();
            for (int r = 0; r < rows; ++r)
                storeRow(store, r, m_head[std::size_t(r)]);
            store.rows = int(rows);
            return Done{};
        }
    }
    auto window = std::make_unique<AcquisitionData>();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return failure(Kind::System, file.errorString());
    const AcquisitionReadResult read = readAcquisition(file, *window, first % kRowsPerOffset, rows);
    if (read.end == AcquisitionReadResult::End::ReadError)
        return failure(Kind::System, read.error);
    if (read.rowsStored != rows)
        return failure(Kind::Changed);
    window->rows = int(rows);
    store = *window;
    return Done{};
}

qint64 AcquisitionFile::memoryBytes() const
{
    const std::lock_guard lock(m_mutex);
    return qint64(m_offsets.capacity() * sizeof(qint64) + m_head.capacity() * sizeof(RowValues))
        + m_overview.memoryBytes();
}

std::vector<OverviewColumn> AcquisitionFile::overview(int columns) const
{
    const std::lock_guard lock(m_mutex);
    return m_overview.columns(columns);
}

} // namespace platine
