#include "model/Overview.h"

#include <algorithm>

namespace platine {

void OverviewSummary::take(const RowValues &row)
{
    const bool first = empty();
    for (int k = 0; k < kAnalogChannelCount; ++k) {
        const double v = row[std::size_t(k)];
        min[std::size_t(k)] = first ? v : std::min(min[std::size_t(k)], v);
        max[std::size_t(k)] = first ? v : std::max(max[std::size_t(k)], v);
    }
    for (int b = 0; b < kLogicChannelCount; ++b)
        logic[std::size_t(b)] |= levels::of(row[std::size_t(column(logicChannelAt(b)))]);
}

void OverviewSummary::take(const OverviewSummary &other)
{
    if (other.empty())
        return;
    const bool first = empty();
    for (std::size_t k = 0; k < min.size(); ++k) {
        min[k] = first ? other.min[k] : std::min(min[k], other.min[k]);
        max[k] = first ? other.max[k] : std::max(max[k], other.max[k]);
    }
    for (std::size_t b = 0; b < logic.size(); ++b)
        logic[b] |= other.logic[b];
}

void Overview::startBlock()
{
    if (m_rows % m_perBlock != 0)
        return;
    if (qsizetype(m_blocks.size()) == kMaxBlocks) {
        // Every block is full: merge them two by two.
        for (qsizetype i = 0; i < kMaxBlocks / 2; ++i) {
            OverviewSummary merged = m_blocks[std::size_t(2 * i)];
            merged.take(m_blocks[std::size_t(2 * i + 1)]);
            m_blocks[std::size_t(i)] = merged;
        }
        m_blocks.resize(kMaxBlocks / 2);
        m_perBlock *= 2; // m_rows, kMaxBlocks blocks' worth, is a multiple of it still
    }
    m_blocks.emplace_back();
}

qint64 Overview::rowsPerBlockAt(qint64 row)
{
    qint64 perBlock = 1;
    while (row >= kMaxBlocks * perBlock)
        perBlock *= 2;
    return perBlock;
}

void Overview::add(const RowValues &row)
{
    startBlock();
    m_blocks.back().take(row);
    ++m_rows;
}

void Overview::add(const OverviewSummary &summary, qint64 rows)
{
    startBlock();
    m_blocks.back().take(summary);
    m_rows += rows;
}

std::vector<OverviewColumn> Overview::columns(int count) const
{
    std::vector<OverviewColumn> out;
    const qint64 blocks = qint64(m_blocks.size());
    if (count <= 0 || blocks == 0)
        return out;
    out.resize(std::size_t(count));
    for (qint64 x = 0; x < count; ++x) {
        const qint64 from = x * blocks / count;
        const qint64 to = std::max((x + 1) * blocks / count, from + 1);
        OverviewColumn &c = out[std::size_t(x)];
        c.first = from * m_perBlock;
        c.end = std::min(to * m_perBlock, m_rows);
        for (qint64 b = from; b < to; ++b)
            c.summary.take(m_blocks[std::size_t(b)]);
    }
    return out;
}

} // namespace platine
