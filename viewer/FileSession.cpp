#include "viewer/FileSession.h"

#include "model/DemoData.h"
#include "model/Tables.h"
#include "viewer/FileWindow.h"

namespace platine {

namespace {

constexpr int kLookMs = 30; // how often the running loads are looked at

} // namespace

FileSession::FileSession(QObject *parent)
    : QObject(parent), m_store(std::make_unique<AcquisitionData>())
{
    m_timer.setInterval(kLookMs);
    connect(&m_timer, &QTimer::timeout, this, &FileSession::poll);
}

FileSession::~FileSession() = default;

qint64 FileSession::fileRows() const
{
    return m_file ? m_file->progress().rows : 0;
}

bool FileSession::loading() const
{
    return m_pending || m_endDue;
}

void FileSession::open(const QString &path)
{
    auto opened = AcquisitionFile::open(path);
    if (!opened) {
        m_reports.push_back({SessionReport::Kind::OpenFailed, path, {}, opened.error()});
        tell({});
        return;
    }
    // A file still pending stops here (its thread with it); the file browsed goes on loading
    // until the new one holds a row.
    m_pending = std::move(*opened);
    m_timer.start();
    poll(); // a small file is read already
}

void FileSession::cancel()
{
    if (m_pending)
        m_pending->cancel();
    if (m_file)
        m_file->cancel();
    poll();
}

void FileSession::poll()
{
    using Kind = SessionReport::Kind;
    Changes changes;
    if (m_pending) {
        const AcquisitionFileProgress p = m_pending->progress();
        if (p.rows >= AcquisitionData::kRows || (!p.running() && p.rows > 0)) {
            changes.moved = adopt(std::exchange(m_pending, nullptr));
        } else if (!p.running()) { // without a complete row: nothing changes
            const std::unique_ptr<AcquisitionFile> refused = std::exchange(m_pending, nullptr);
            tellHeldEnd();
            m_reports.push_back({Kind::Ended, refused->path(), p, {}});
        } else {
            changes.live = SessionReport{Kind::Progress, m_pending->path(), p, {}};
        }
    }
    if (m_file && m_endDue) {
        const AcquisitionFileProgress p = m_file->progress();
        changes.progressed = true;
        if (p.running()) {
            if (!m_pending) // a pending file tells its own progress
                changes.live = SessionReport{Kind::Progress, m_file->path(), p, {}};
        } else {
            m_endDue = false;
            SessionReport end{Kind::Ended, m_file->path(), p, {}};
            if (m_pending)
                m_heldEnd = std::move(end);
            else
                m_reports.push_back(std::move(end));
        }
    }
    if (!m_pending && !m_endDue)
        m_timer.stop();
    tell(changes);
}

bool FileSession::adopt(std::unique_ptr<AcquisitionFile> opened)
{
    if (const auto filled = opened->fill(0, *m_store); !filled) {
        tellHeldEnd();
        m_reports.push_back({SessionReport::Kind::ReadFailed, opened->path(), {}, filled.error()});
        return false; // its thread stops with it
    }
    // The file browsed before goes, its thread with it, if it still ran.
    const std::unique_ptr<AcquisitionFile> previous = std::exchange(m_file, std::move(opened));
    m_heldEnd.reset();
    m_source = Source::File;
    m_windowStart = 0;
    m_endDue = true;
    m_columns.clear();
    m_columnsWhole = false;
    return true;
}

void FileSession::tellHeldEnd()
{
    if (m_heldEnd)
        m_reports.push_back(*std::exchange(m_heldEnd, std::nullopt));
}

void FileSession::tell(const Changes &changes)
{
    const bool nowLoading = loading();
    const bool flipped = nowLoading != std::exchange(m_wasLoading, nowLoading);
    // A receiver may run a nested event loop in which the loads are looked at again and newer
    // progress is told: this call's is then older, and is dropped. What changed is told anyway.
    const quint64 mine = ++m_telling;
    if (flipped)
        Q_EMIT loadingChanged(nowLoading);
    if (changes.moved)
        Q_EMIT windowMoved();
    if (changes.edited)
        Q_EMIT storeEdited();
    if (changes.progressed)
        Q_EMIT fileProgressed();
    if (changes.live && m_telling == mine)
        Q_EMIT loadProgressed(*changes.live);
    if (!m_reports.empty()) // none left when a nested call told them
        Q_EMIT reportsDue();
}

bool FileSession::moveWindow(qint64 first, int n)
{
    if (!m_file)
        return false;
    first = platine::windowStart(first, n, fileRows());
    if (const auto filled = m_file->fill(first, *m_store); !filled) {
        m_reports.push_back({SessionReport::Kind::MoveFailed, m_file->path(), {}, filled.error()});
        tell({});
        return false;
    }
    m_windowStart = first;
    m_source = Source::File;
    Changes moved;
    moved.moved = true;
    tell(moved);
    return true;
}

std::optional<std::vector<Figures>> FileSession::figures(const std::vector<qint64> &bounds)
{
    if (m_source == Source::Demo || m_source == Source::Zeros)
        return storeFigures(*m_store, bounds);
    if (!m_file)
        return std::nullopt;
    auto got = m_file->figures(bounds);
    if (!got) {
        m_reports.push_back({SessionReport::Kind::MoveFailed, m_file->path(), {}, got.error()});
        tell({});
        return std::nullopt;
    }
    return std::move(*got);
}

bool FileSession::moveByKey(int keyCode, int n)
{
    const std::optional<qint64> first = windowStartAfterKey(keyCode, m_windowStart, n, fileRows());
    if (first)
        moveWindow(*first, n);
    return first.has_value();
}

void FileSession::fillWithDemoData(int n, DemoGenerator &generator)
{
    fillDemoData(*m_store, n, generator);
    edited(Source::Demo, n);
}

void FileSession::zeroRows(int n)
{
    clearTables(*m_store, n);
    edited(Source::Zeros, n);
}

void FileSession::edited(Source source, int n)
{
    m_source = source;
    m_lastEdited = std::min(n, AcquisitionData::kRows - 1);
    Changes changes;
    changes.edited = true;
    tell(changes);
}

const std::vector<OverviewColumn> &FileSession::overview(int width)
{
    if (!m_file) {
        m_columns.clear();
        return m_columns;
    }
    if (m_columnsWhole && qsizetype(m_columns.size()) == width)
        return m_columns;
    // Columns got after the read was seen ended are the whole file's, and are kept.
    const bool ended = !m_file->progress().running();
    if (std::optional<std::vector<OverviewColumn>> columns = m_file->overview(width)) {
        m_columns = std::move(*columns);
        m_columnsWhole = ended;
    }
    return m_columns;
}

} // namespace platine
