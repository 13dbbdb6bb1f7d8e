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

} // namespace

Result<std::unique_ptr<AcquisitionFile>> AcquisitionFile::open(const QString &path)
{
    // Only regular files: a directory, a device or a pipe is no acquisition file (a device such
    // as /dev/zero would never end).
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return Failure{QStringLiteral("le fichier n'existe pas")};
    if (!info.isFile())
        return Failure{QStringLiteral("ce n'est pas un fichier ordinaire")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{file.errorString()};
    std::unique_ptr<AcquisitionFile> opened(new AcquisitionFile(path));
    opened->m_size = info.size();
    opened->m_modified = info.lastModified();
    opened->m_progress.size = info.size();
    AcquisitionFile *self = opened.get();
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
    RowValues values{};
    // Called under the lock.
    const auto onLine = [&](QByteArrayView line, qint64 offset) {
        switch (lineKind(line)) {
        case LineKind::Period: m_periodBytes = line.toByteArray(); return true;
        case LineKind::Date: m_dateBytes = line.toByteArray(); return true;
        case LineKind::Other: return true;
        case LineKind::Data: break;
        }
        if (!readDataLine(line, values)) {
            if (m_progress.skippedLines++ == 0)
                m_progress.firstSkipped = lines.lines();
            return true;
        }
        if (m_progress.rows % kRowsPerOffset == 0)
            m_offsets.push_back(offset);
        m_overview.add(values);
        ++m_progress.rows;
        return true;
    };

    const auto buffer = std::make_unique<char[]>(kPiece);
    for (;;) {
        if (m_cancel) {
            const std::lock_guard lock(m_mutex);
            m_progress.state = State::Cancelled;
            return;
        }
        const qint64 n = opened ? file.read(buffer.get(), kPiece) : -1;
        const std::lock_guard lock(m_mutex);
        if (n < 0) {
            m_progress.state = State::ReadError;
            m_progress.error = file.errorString();
            return;
        }
        if (n == 0) {
            lines.finish(onLine);
            m_progress.lines = lines.lines();
            m_progress.state = State::Done;
            return;
        }
        lines.feed(buffer.get(), n, onLine);
        m_progress.bytesRead += n;
        m_progress.lines = lines.lines();
    }
}

Status AcquisitionFile::fill(qint64 first, AcquisitionData &store) const
{
    qint64 offset = 0;
    qint64 rows = 0;
    {
        const std::lock_guard lock(m_mutex);
        if (first < 0 || first >= m_progress.rows)
            return Failure{QStringLiteral("il n'a pas d'acquisition %1").arg(first)};
        offset = m_offsets[std::size_t(first / kRowsPerOffset)];
        rows = std::min<qint64>(m_progress.rows - first, AcquisitionData::kRows);
    }
    const QFileInfo info(m_path);
    if (!info.exists())
        return Failure{QStringLiteral("le fichier n'existe plus")};
    if (info.size() != m_size || info.lastModified() != m_modified)
        return Failure{QStringLiteral("le fichier a changé depuis son ouverture")};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return Failure{file.errorString()};
    auto window = std::make_unique<AcquisitionData>();
    const AcquisitionReadResult read = readAcquisition(file, *window, first % kRowsPerOffset, rows);
    if (read.end == AcquisitionReadResult::End::ReadError)
        return Failure{read.error};
    if (read.rowsStored != rows)
        return Failure{QStringLiteral("le fichier a changé depuis son ouverture")};
    window->rows = int(rows);
    store = *window;
    return Done{};
}

std::vector<OverviewColumn> AcquisitionFile::overview(int columns) const
{
    const std::lock_guard lock(m_mutex);
    return m_overview.columns(columns);
}

} // namespace platine
