#include "model/AcquisitionFile.h"

#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <system_error>

namespace platine {

namespace {

constexpr qint64 kPiece = 256 * 1024;
// Shared by two threads, the pieces after the first are larger: each one wakes the second thread
// once, and the time it takes to wake, lost, is a smaller share of the piece.
constexpr qint64 kSharedPiece = 1024 * 1024;
// A file this small is read at once, in the caller's thread: in a few milliseconds at most, and
// without the cost of starting a thread.
constexpr qint64 kReadAtOnce = 1024 * 1024;
// The most rows a file of `size` bytes can have: a data line has at least nine ";" and a line end.
constexpr qint64 mostRows(qint64 size)
{
    return (size + 1) / 10;
}

using Guard = MeasuredMutex::Guard;
using Side = MeasuredMutex::Side;
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
    std::unique_ptr<AcquisitionFile> opened(new AcquisitionFile(path, info.size()));
    opened->m_modified = info.lastModified();
    opened->m_progress.size = info.size();
    opened->m_lastProgress.size = info.size();
    AcquisitionFile *self = opened.get();
    if (info.size() <= kReadAtOnce)
        self->read(false);
    else
        opened->m_thread = std::thread([self] { self->read(true); });
    return opened;
}

AcquisitionFile::AcquisitionFile(const QString &path, qint64 size)
    : m_path(path), m_size(size), m_pass(size), m_index(mostRows(size))
{}

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
    AcquisitionFileProgress p;
    QByteArray period;
    QByteArray date;
    {
        const Guard lock(m_mutex, Side::Caller, false);
        if (!lock.held()) // the thread hands a piece over: what it said last
            return m_lastProgress;
        p = m_progress;
        period = m_periodBytes;
        date = m_dateBytes;
    }
    if (!period.isNull())
        p.periodLine = headerText(period);
    if (!date.isNull())
        p.dateLine = headerText(date);
    m_lastProgress = p;
    return p;
}

void AcquisitionFile::read(bool helped)
{
    using State = AcquisitionFileProgress::State;
    QFile file(m_path);
    const bool opened = file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    // The first rows, made ready to be handed over once the store's worth is read, or at the end.
    bool firstRowsHanded = false;
    const auto firstRows = [&](bool ending) -> std::shared_ptr<const std::vector<RowValues>> {
        if (firstRowsHanded || (!ending && m_pass.rows() < AcquisitionData::kRows))
            return nullptr;
        firstRowsHanded = true;
        return std::make_shared<const std::vector<RowValues>>(m_pass.takeFirstRows());
    };
    // What the pass found is handed over under the lock, and nothing else is done under it. While
    // the read goes on, a caller holding the lock is not waited for: what was found is kept and
    // handed over with the next piece. The end of the read waits for the lock.
    std::vector<qint64> offsets;
    std::shared_ptr<const std::vector<RowValues>> first;
    qint64 bytesRead = 0;
    // The figures go to the index outside the lock, but when the index has to move what callers
    // read it through: a file grown since it was opened.
    const auto appendBlocks = [&] {
        for (const Figures &block : m_pass.blocks()) {
            if (m_index.appendMoves()) {
                const Guard lock(m_mutex, Side::Worker);
                m_index.append(block);
            } else {
                m_index.append(block);
            }
        }
        m_pass.clearBlocks();
    };
    const auto handOver = [&](State state, const QString &error = {}) {
        const std::vector<qint64> found = m_pass.takeOffsets();
        offsets.insert(offsets.end(), found.begin(), found.end());
        appendBlocks();
        if (!first)
            first = firstRows(state != State::Reading);
        const LineSorter &sorted = m_pass.sorter();
        const Guard lock(m_mutex, Side::Worker, state != State::Reading);
        if (!lock.held())
            return;
        m_offsets.insert(m_offsets.end(), offsets.begin(), offsets.end());
        offsets.clear();
        m_indexed = m_index.blocks();

        if (first)
            m_firstRows = std::move(first);
        m_progress.rows = m_pass.rows();
        m_progress.lines = m_pass.lines();
        m_progress.bytesRead = bytesRead;
        m_progress.skippedLines = sorted.skippedLines;
        m_progress.firstSkipped = sorted.firstSkipped;
        m_progress.fieldsWithoutNumber = sorted.fieldsWithoutNumber;
        m_progress.firstWithoutNumber = sorted.firstWithoutNumber;
        m_periodBytes = sorted.periodLine;
        m_dateBytes = sorted.dateLine;
        m_progress.state = state;
        m_progress.error = error;
    };
    // The overview's columns, made here when a caller asked for them, outside the lock (asked
    // again when a caller holds it).
    const auto makeColumns = [&] {
        if (const int count = m_columnsWanted.exchange(0); count > 0) {
            std::vector<OverviewColumn> columns = m_pass.overview().columns(count);
            const Guard lock(m_mutex, Side::Worker, false);
            if (!lock.held()) {
                m_columnsWanted = count;
                return;
            }
            m_columns.swap(columns);
            m_columnsMade = true;
        }
    };

    // A small file needs no more than its size (and one byte to see its end). With a helper, the
    // next piece is read into a second buffer while the helper sorts the parts of the first.
    const qint64 bufferSize = std::min(helped ? kSharedPiece : kPiece, m_size + 1);
    std::array<std::unique_ptr<char[]>, 2> buffers;
    for (auto &b : buffers)
        b = std::make_unique<char[]>(std::size_t(bufferSize));
    const auto readPiece = [&](int buffer, qint64 bytes) {
        return opened ? file.read(buffers[std::size_t(buffer)].get(), bytes) : -1;
    };
    // A long file's lines are sorted by two threads.
    std::optional<FilePass::Helper> helper;
    try {
        if (helped)
            helper.emplace();
    } catch (const std::system_error &) { // no thread to be had: this one sorts them all
    }
    int current = 0;
    qint64 n = readPiece(current, std::min(kPiece, bufferSize)); // the first rows at once
    for (;;) {
        if (m_cancel)
            return handOver(State::Cancelled);
        if (n < 0)
            return handOver(State::ReadError, file.errorString());
        bytesRead += n;
        if (n == 0) {
            m_pass.finish();
            return handOver(State::Done);
        }
        std::optional<qint64> next;
        m_pass.feed(buffers[std::size_t(current)].get(), n, helper ? &*helper : nullptr, [&] {
            appendBlocks();
            if (!next)
                next = readPiece(1 - current, bufferSize);
        });
        handOver(State::Reading);
        makeColumns();
        current = 1 - current;
        n = *next;
    }
}

std::optional<AcquisitionFileFailure> AcquisitionFile::changed() const
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return failure(Kind::Gone);
    if (info.size() != m_size || info.lastModified() != m_modified)
        return failure(Kind::Changed);
    return std::nullopt;
}

AcquisitionFile::Outcome<Done> AcquisitionFile::fill(qint64 first, AcquisitionData &store) const
{
    if (const auto failed = changed())
        return *failed;
    qint64 offset = 0;
    qint64 rows = 0;
    std::shared_ptr<const std::vector<RowValues>> firstRows;
    {
        const Guard lock(m_mutex, Side::Caller);
        if (first < 0 || first >= m_progress.rows)
            return failure(Kind::NoSuchRow, {}, first);
        offset = m_offsets[std::size_t(first / FilePass::kRowsPerOffset)];
        rows = std::min<qint64>(m_progress.rows - first, AcquisitionData::kRows);
        if (first == 0 && m_firstRows && qint64(m_firstRows->size()) >= rows)
            firstRows = m_firstRows; // kept from the read
    }
    if (firstRows) {
        store.clear();
        for (int r = 0; r < rows; ++r)
            storeRow(store, r, (*firstRows)[std::size_t(r)]);
        store.rows = int(rows);
        return Done{};
    }
    auto window = std::make_unique<AcquisitionData>();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return failure(Kind::System, file.errorString());
    const AcquisitionReadResult read = readAcquisition(file, *window,
                                                       first % FilePass::kRowsPerOffset, rows);
    if (read.end == AcquisitionReadResult::End::ReadError)
        return failure(Kind::System, read.error);
    if (read.rowsStored != rows)
        return failure(Kind::Changed);
    window->rows = int(rows);
    store = *window;
    return Done{};
}

AcquisitionFile::Outcome<Done>
AcquisitionFile::readRows(qint64 first, qint64 count,
                          const std::function<void(qint64, const RowValues &)> &onRow) const
{
    if (count <= 0)
        return Done{};
    if (const auto failed = changed())
        return *failed;
    qint64 offset = 0;
    {
        const Guard lock(m_mutex, Side::Caller);
        if (first < 0 || first + count > m_progress.rows)
            return failure(Kind::NoSuchRow, {}, first < 0 ? first : m_progress.rows);
        offset = m_offsets[std::size_t(first / FilePass::kRowsPerOffset)];
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return failure(Kind::System, file.errorString());
    qint64 row = first;
    const AcquisitionReadResult read =
        platine::readRows(file, first % FilePass::kRowsPerOffset, count,
                          [&](const RowValues &values) { onRow(row++, values); });
    if (read.end == AcquisitionReadResult::End::ReadError)
        return failure(Kind::System, read.error);
    if (row != first + count)
        return failure(Kind::Changed);
    return Done{};
}

AcquisitionFile::Outcome<Figures> AcquisitionFile::figures(qint64 first, qint64 end) const
{
    auto spans = figures(std::vector<qint64>{first, end});
    if (!spans)
        return spans.error();
    return spans->front();
}

AcquisitionFile::Outcome<std::vector<Figures>>
AcquisitionFile::figures(const std::vector<qint64> &bounds) const
{
    constexpr qint64 kBlock = FigureIndex::kBlockRows;
    // Rows between the parts to read that one read goes through rather than seek past them.
    constexpr qint64 kOneRead = 4096;
    const std::size_t spans = bounds.size() > 1 ? bounds.size() - 1 : 0;
    // Each span is a head read again, a middle of whole blocks from the index, a tail read again.
    struct Part {
        qint64 first = 0;
        qint64 end = 0;
        Figures figures;
    };
    std::vector<Part> heads(spans);
    std::vector<Figures> middles(spans);
    std::vector<Part> tails(spans);
    {
        const Guard lock(m_mutex, Side::Caller);
        const qint64 rows = m_progress.rows;
        // Rows the index holds whole: its blocks', as far as the rows go (the last may be short).
        const qint64 indexed = std::min(m_indexed * kBlock, rows);
        for (std::size_t i = 0; i < spans; ++i) {
            const qint64 a = std::clamp<qint64>(bounds[i], 0, rows);
            const qint64 b = std::clamp<qint64>(bounds[i + 1], a, rows);
            const qint64 blockA = (a + kBlock - 1) / kBlock;
            // A span that ends with the indexed rows takes their last block, however short.
            const qint64 blockB = b == indexed ? m_indexed : std::min(b, indexed) / kBlock;
            if (blockA >= blockB) {
                heads[i] = {a, b, {}};
                continue;
            }
            heads[i] = {a, blockA * kBlock, {}};
            middles[i] = m_index.figures(blockA, blockB, m_indexed);
            tails[i] = {std::min(blockB * kBlock, b), b, {}};
        }
    }
    // The parts in row order.
    std::vector<Part *> parts;
    for (std::size_t i = 0; i < spans; ++i) {
        for (Part *p : {&heads[i], &tails[i]}) {
            if (p->first < p->end)
                parts.push_back(p);
        }
    }
    const auto readParts = [&](std::size_t from, std::size_t to) -> Outcome<Done> {
        std::size_t at = from;
        return readRows(parts[from]->first, parts[to - 1]->end - parts[from]->first,
                        [&](qint64 row, const RowValues &values) {
                            while (at < to && row >= parts[at]->end)
                                ++at;
                            if (at < to && row >= parts[at]->first)
                                parts[at]->figures.take(row, values);
                        });
    };
    // One read when the parts lie close together (the columns of a short span), else one read a
    // part (the ends of a long span), so that rows between them are not read for nothing.
    qint64 partRows = 0;
    for (const Part *p : parts)
        partRows += p->end - p->first;
    if (!parts.empty() && parts.back()->end - parts.front()->first <= 2 * partRows + kOneRead) {
        if (auto read = readParts(0, parts.size()); !read)
            return read.error();
    } else {
        for (std::size_t k = 0; k < parts.size(); ++k) {
            if (auto read = readParts(k, k + 1); !read)
                return read.error();
        }
    }
    std::vector<Figures> out(spans);
    for (std::size_t i = 0; i < spans; ++i) {
        out[i] = heads[i].figures;
        out[i].take(middles[i]);
        out[i].take(tails[i].figures);
    }
    return out;
}

qint64 AcquisitionFile::memoryBytes() const
{
    const Guard lock(m_mutex, Side::Caller);
    if (m_progress.running())
        return 0;
    const std::size_t first = m_firstRows ? m_firstRows->size() : 0;
    return qint64(m_offsets.size() * sizeof(qint64) + first * sizeof(RowValues))
        + m_pass.overview().memoryBytes() + m_index.memoryBytes();
}

std::optional<std::vector<OverviewColumn>> AcquisitionFile::overview(int columns)
{
    {
        const Guard lock(m_mutex, Side::Caller, false);
        if (!lock.held()) // the thread hands a piece over
            return std::nullopt;
        if (m_progress.running()) {
            m_columnsWanted = columns;
            if (!m_columnsMade || qsizetype(m_columns.size()) != columns)
                return std::nullopt;
            m_columnsMade = false;
            return std::move(m_columns);
        }
    }
    // The thread has ended: the pass is no longer written.
    return m_pass.overview().columns(columns);
}

} // namespace platine
