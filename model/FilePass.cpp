#include "model/FilePass.h"

#include "model/AcquisitionData.h"

#include <algorithm>
#include <cstring>

namespace platine {

FilePass::FilePass(qint64 size)
{
    // A data line has at least 19 bytes.
    m_firstRows.reserve(std::size_t(std::min<qint64>(AcquisitionData::kRows, size / 19 + 1)));
}

void FilePass::keep(const RowValues &values, qint64 offset)
{
    if (m_rows % kRowsPerOffset == 0)
        m_offsets.push_back(offset);
    if (m_rows < AcquisitionData::kRows)
        m_firstRows.push_back(values);
    m_overview.add(values);
    m_block.take(m_rows, values);
    if (m_block.rows == kRowsPerOffset)
        m_blocks.push_back(std::exchange(m_block, {}));
    ++m_rows;
}

void FilePass::take(QByteArrayView line, qint64 offset)
{
    if (m_sorter.sort(line, m_lines.lines(), m_values))
        keep(m_values, offset);
}

void FilePass::feed(const char *bytes, qsizetype size, Helper *helper)
{
    if (helper)
        return feedShared(bytes, size, *helper);
    m_lines.feed(bytes, size, [this](QByteArrayView line, qint64 offset) {
        take(line, offset);
        return true;
    });
}

void FilePass::feedShared(const char *bytes, qsizetype size, Helper &helper)
{
    const auto onLine = [this](QByteArrayView line, qint64 offset) {
        take(line, offset);
        return true;
    };
    // The first CR or LF from `from`, or the size.
    const auto lineEnd = [&](qsizetype from) {
        const auto *cr =
            static_cast<const char *>(std::memchr(bytes + from, '\r', std::size_t(size - from)));
        const auto *lf =
            static_cast<const char *>(std::memchr(bytes + from, '\n', std::size_t(size - from)));
        return std::min(cr ? cr - bytes : size, lf ? lf - bytes : size);
    };
    // Just past the line end at `end`, a CR LF together.
    const auto past = [&](qsizetype end) {
        return end + 1 + (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n');
    };
    const qsizetype first = lineEnd(0);
    if (first == size)
        return feed(bytes, size);
    // The first line may have begun in the last piece, and the bytes after the last line end
    // begin a line that ends in a later one: the splitter of the pass takes them. What lies
    // between is cut into parts.
    const qsizetype head = past(first);
    qsizetype last = size - 1;
    while (bytes[last] != '\r' && bytes[last] != '\n')
        --last;
    const qsizetype tail = past(last);
    m_lines.feed(bytes, head, onLine);
    if (tail > head) {
        const qint64 start = m_lines.offset();
        int parts = 0;
        for (qsizetype from = head; from < tail;) {
            const qsizetype aim = head + (tail - head) * (parts + 1) / Helper::kParts;
            const qsizetype to = parts + 1 == Helper::kParts ? tail
                                                             : past(lineEnd(std::max(aim, from)));
            Helper::Part &p = helper.m_parts[std::size_t(parts++)];
            p.bytes = bytes + from;
            p.size = to - from;
            p.offset = start + (from - head);
            from = to;
        }
        helper.publish(parts);
        qint64 lines = 0;
        for (int k = 0; k < parts; ++k) {
            helper.waitSorted(k);
            const Helper::Part &p = helper.m_parts[std::size_t(k)];
            m_sorter.take(p.sorter, m_lines.lines() + lines);
            lines += p.lines;
            for (const auto &[offset, values] : p.rows)
                keep(values, offset);
        }
        m_lines.skip(tail - head, lines, tail == size && bytes[size - 1] == '\r');
    }
    m_lines.feed(bytes + tail, size - tail, onLine);
}

void FilePass::finish()
{
    m_lines.finish([this](QByteArrayView line, qint64 offset) {
        take(line, offset);
        return true;
    });
    if (!m_block.empty())
        m_blocks.push_back(std::exchange(m_block, {}));
}

void FilePass::Helper::Part::sort()
{
    sorter = {};
    rows.clear();
    LineSplitter splitter(offset);
    RowValues values{};
    splitter.feed(bytes, size, [&](QByteArrayView line, qint64 at) {
        if (sorter.sort(line, splitter.lines(), values))
            rows.emplace_back(at, values);
        return true;
    });
    lines = splitter.lines();
}

FilePass::Helper::Helper() : m_thread([this] { run(); }) {}

FilePass::Helper::~Helper()
{
    {
        const std::lock_guard lock(m_mutex);
        m_end = true;
    }
    m_toSort.notify_one();
    m_thread.join();
}

void FilePass::Helper::publish(int parts)
{
    {
        const std::lock_guard lock(m_mutex); // the parts of the last piece are all kept
        m_taken = 0;
        m_done.fill(false);
        m_published = parts;
    }
    m_toSort.notify_one();
}

void FilePass::Helper::waitSorted(int k)
{
    std::unique_lock lock(m_mutex);
    while (!m_done[std::size_t(k)]) {
        // The last part is left to the helper thread while it sorts, so that this one keeps the
        // rows of the others meanwhile rather than leave it idle at the end of the piece.
        if (m_published - m_taken > 1 || (m_taken < m_published && !m_helperSorts)) {
            const int mine = m_taken++;
            lock.unlock();
            m_parts[std::size_t(mine)].sort();
            lock.lock();
            m_done[std::size_t(mine)] = true;
        } else {
            m_sorted.wait(lock); // the helper thread sorts it
        }
    }
}

void FilePass::Helper::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_toSort.wait(lock, [this] { return m_end || m_taken < m_published; });
        if (m_end)
            return;
        const int mine = m_taken++;
        m_helperSorts = true;
        lock.unlock();
        m_parts[std::size_t(mine)].sort();
        lock.lock();
        m_done[std::size_t(mine)] = true;
        m_helperSorts = false;
        m_sorted.notify_one();
    }
}

} // namespace platine
