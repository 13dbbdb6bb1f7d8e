#include "model/FilePass.h"

#include "model/AcquisitionData.h"

#include <algorithm>

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
    keepInBlock(values);
}

void FilePass::keepInBlock(const RowValues &values)
{
    m_block.take(m_rows, values);
    if (m_block.rows == kRowsPerOffset)
        m_blocks.push_back(std::exchange(m_block, {}));
    ++m_rows;
}

void FilePass::keep(const Helper::Part &part)
{
    m_offsets.insert(m_offsets.end(), part.offsets.begin(), part.offsets.end());
    m_firstRows.insert(m_firstRows.end(), part.firstRows.begin(), part.firstRows.end());
    for (const auto &[summary, rows] : part.groups)
        m_overview.add(summary, rows);
    const auto head = part.loose.begin() + part.head;
    std::for_each(part.loose.begin(), head, [this](const RowValues &v) { keepInBlock(v); });
    for (const Figures &block : part.blocks) {
        m_blocks.push_back(block);
        m_rows += block.rows;
    }
    std::for_each(head, part.loose.end(), [this](const RowValues &v) { keepInBlock(v); });
}

void FilePass::take(QByteArrayView line, qint64 offset)
{
    if (m_sorter.sort(line, m_lines.lines(), m_values))
        keep(m_values, offset);
}

void FilePass::feed(const char *bytes, qsizetype size, Helper *helper,
                    const std::function<void()> &afterPart)
{
    if (helper) {
        feedShared(bytes, size, *helper, afterPart);
    } else {
        m_lines.feed(bytes, size, lineTaker());
    }
    if (afterPart)
        afterPart();
}

void FilePass::feedShared(const char *bytes, qsizetype size, Helper &helper,
                          const std::function<void()> &afterPart)
{
    const auto onLine = lineTaker();
    const auto lineEnd = [&](qsizetype from) { return LineSplitter::lineEnd(bytes, from, size); };
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
        helper.publish(parts, m_rows);
        qint64 lines = 0;
        for (int k = 0; k < parts; ++k) {
            helper.waitKept(k);
            const Helper::Part &p = helper.m_parts[std::size_t(k)];
            m_sorter.take(p.sorter, m_lines.lines() + lines);
            lines += p.lines;
            keep(p);
            if (afterPart)
                afterPart();
        }
        m_lines.skip(tail - head, lines, tail == size && bytes[size - 1] == '\r');
    }
    m_lines.feed(bytes + tail, size - tail, onLine);
}

void FilePass::finish()
{
    m_lines.finish(lineTaker());
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

void FilePass::Helper::Part::keep(qint64 first)
{
    offsets.clear();
    firstRows.clear();
    blocks.clear();
    loose.clear();
    groups.clear();
    const qint64 count = qint64(rows.size());
    // Its whole blocks are its rows from `whole` to `after`.
    const qint64 whole = std::min(count,
                                  (kRowsPerOffset - first % kRowsPerOffset) % kRowsPerOffset);
    const qint64 after = whole + (count - whole) / kRowsPerOffset * kRowsPerOffset;
    head = whole;
    // The overview's blocks hold a multiple of this from here on, from a multiple of it.
    const qint64 group = Overview::rowsPerBlockAt(first);
    Figures block;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 row = first + i;
        const auto &[offset, values] = rows[std::size_t(i)];
        if (row % kRowsPerOffset == 0)
            offsets.push_back(offset);
        if (row < AcquisitionData::kRows)
            firstRows.push_back(values);
        if (i == 0 || row % group == 0)
            groups.emplace_back();
        groups.back().first.take(values);
        ++groups.back().second;
        if (i < whole || i >= after) {
            loose.push_back(values);
            continue;
        }
        block.take(row, values);
        if (block.rows == kRowsPerOffset)
            blocks.push_back(std::exchange(block, {}));
    }
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

void FilePass::Helper::publish(int parts, qint64 first)
{
    {
        const std::lock_guard lock(m_mutex); // the parts of the last piece are all kept
        m_taken = 0;
        m_counted = 0;
        m_first[0] = first;
        m_sorted.fill(false);
        m_kept.fill(false);
        m_published = parts;
    }
    m_toSort.notify_one();
}

void FilePass::Helper::process(std::unique_lock<std::mutex> &lock)
{
    const int k = m_taken++;
    Part &part = m_parts[std::size_t(k)];
    lock.unlock();
    part.sort();
    lock.lock();
    m_sorted[std::size_t(k)] = true;
    for (; m_counted < m_published && m_sorted[std::size_t(m_counted)]; ++m_counted) {
        const auto c = std::size_t(m_counted);
        m_first[c + 1] = m_first[c] + qint64(m_parts[c].rows.size());
    }
    m_moved.notify_all();
    // The other thread sorts a part before this one, taken first, of about the same size.
    m_moved.wait(lock, [&] { return m_counted >= k; });
    const qint64 first = m_first[std::size_t(k)];
    lock.unlock();
    part.keep(first);
    lock.lock();
    m_kept[std::size_t(k)] = true;
    m_moved.notify_all();
}

void FilePass::Helper::waitKept(int k)
{
    std::unique_lock lock(m_mutex);
    while (!m_kept[std::size_t(k)]) {
        if (m_taken < m_published)
            process(lock);
        else
            m_moved.wait(lock); // the helper thread keeps it
    }
}

void FilePass::Helper::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_toSort.wait(lock, [this] { return m_end || m_taken < m_published; });
        if (m_end)
            return;
        process(lock);
    }
}

} // namespace platine
