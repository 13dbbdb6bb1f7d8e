#include "model/Figures.h"

#include "model/AcquisitionData.h"
#include "model/Overview.h"

#include <algorithm>

namespace platine {

void Figures::take(qint64 row, const RowValues &values)
{
    const bool first = empty();
    for (std::size_t k = 0; k < values.size(); ++k) {
        const double v = values[k];
        if (first || v < min[k]) {
            min[k] = v;
            minRow[k] = row;
        }
        if (first || v > max[k]) {
            max[k] = v;
            maxRow[k] = row;
        }
        sum[k] += v;
    }
    for (int b = 0; b < kLogicChannelCount; ++b)
        logic[std::size_t(b)] |= levels::of(values[std::size_t(column(logicChannelAt(b)))]);
    ++rows;
}

void Figures::take(const Figures &later)
{
    if (later.empty())
        return;
    const bool first = empty();
    for (std::size_t k = 0; k < min.size(); ++k) {
        // Strictly lower or higher only: an equal value occurred first in these rows.
        if (first || later.min[k] < min[k]) {
            min[k] = later.min[k];
            minRow[k] = later.minRow[k];
        }
        if (first || later.max[k] > max[k]) {
            max[k] = later.max[k];
            maxRow[k] = later.maxRow[k];
        }
        sum[k] += later.sum[k];
    }
    for (std::size_t b = 0; b < logic.size(); ++b)
        logic[b] |= later.logic[b];
    rows += later.rows;
}

std::vector<Figures> storeFigures(const AcquisitionData &store, const std::vector<qint64> &bounds)
{
    std::vector<Figures> out(bounds.size() > 1 ? bounds.size() - 1 : 0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const qint64 end = std::min<qint64>(bounds[i + 1], store.rows);
        for (qint64 row = std::max<qint64>(bounds[i], 0); row < end; ++row) {
            if (const std::optional<RowValues> values = storedRow(store, row))
                out[i].take(row, *values);
        }
    }
    return out;
}

FigureIndex::FigureIndex(qint64 rows)
{
    const qint64 entries = (rows + kBlockRows - 1) / kBlockRows;
    m_levels[0].reserve(entries);
    for (qint64 k = 1, unit = kFanOut; k < kLevels && entries > unit; ++k, unit *= kFanOut)
        m_levels[std::size_t(k)].reserve((entries + unit - 1) / unit);
}

void FigureIndex::append(const Figures &block)
{
    m_levels[0].push_back(block);
    m_levelsUsed = std::max(m_levelsUsed, 1);
    const qint64 n = m_blocks++; // the block's number
    qint64 unit = 1;
    for (std::size_t k = 1;; ++k) {
        unit *= kFanOut; // blocks an entry of level k holds
        if (n < unit)
            return; // the file fits in one entry of level k: no need of it yet
        if (int(k) == m_levelsUsed) {
            // Its first entry: the first kFanOut entries of the level below, all complete.
            Figures first;
            for (qint64 i = 0; i < kFanOut; ++i)
                first.take(m_levels[k - 1][i]);
            m_levels[k].push_back(first);
            ++m_levelsUsed;
        }
        if (n % unit == 0)
            m_levels[k].push_back({});
        m_levels[k].back().take(block);
    }
}

bool FigureIndex::appendMoves() const
{
    const qint64 n = m_blocks;
    if (m_levels[0].pushMoves())
        return true;
    qint64 unit = 1;
    for (std::size_t k = 1; k < kLevels; ++k) {
        unit *= kFanOut;
        if (n < unit)
            return false;
        // A new level takes its first entry, and maybe a second in the same chunk.
        if ((n % unit == 0 || int(k) == m_levelsUsed) && m_levels[k].pushMoves())
            return true;
    }
    return false;
}

Figures FigureIndex::figures(qint64 from, qint64 to, qint64 blocks) const
{
    if (blocks < 0)
        blocks = m_blocks;
    Figures out;
    to = std::min(to, blocks);
    std::size_t level = 0;
    qint64 unit = 1; // blocks an entry of the level holds
    // Up while the span holds whole entries of the level above, then down again.
    std::vector<std::pair<std::size_t, qint64>> tail; // (level, entry) taken after going up
    qint64 a = from;
    qint64 b = to;
    while (a < b) {
        const qint64 next = unit * kFanOut;
        // The level above is there (more blocks than one of its entries holds).
        if (blocks > next && (b / next) * next > ((a + next - 1) / next) * next) {
            // Entries of this level up to the boundary of the level above, on both sides.
            const qint64 upA = (a + next - 1) / next * next;
            const qint64 upB = b / next * next;
            for (; a < upA; a += unit)
                out.take(m_levels[level][a / unit]);
            for (qint64 e = b - unit; e >= upB; e -= unit)
                tail.emplace_back(level, e / unit);
            b = upB;
            ++level;
            unit = next;
            continue;
        }
        for (; a < b; a += unit)
            out.take(m_levels[level][a / unit]);
    }
    for (auto it = tail.rbegin(); it != tail.rend(); ++it)
        out.take(m_levels[it->first][it->second]);
    return out;
}

void FigureIndex::Level::reserve(qint64 entries)
{
    const qint64 room = (entries + kChunk - 1) / kChunk;
    if (room <= m_room)
        return;
    auto chunks = std::make_unique<std::unique_ptr<Figures[]>[]>(std::size_t(room));
    std::move(m_chunks.get(), m_chunks.get() + m_room, chunks.get());
    m_chunks = std::move(chunks);
    m_room = room;
}

void FigureIndex::Level::push_back(const Figures &f)
{
    if (pushMoves())
        reserve(std::max<qint64>(1, 2 * m_size)); // 0 or a multiple of the chunk
    if (m_size % kChunk == 0)
        m_chunks[std::size_t(m_size / kChunk)] = std::make_unique<Figures[]>(std::size_t(kChunk));
    (*this)[m_size++] = f;
}

qint64 FigureIndex::Level::memoryBytes() const
{
    return (m_size + kChunk - 1) / kChunk * kChunk * qint64(sizeof(Figures))
        + m_room * qint64(sizeof(void *));
}

qint64 FigureIndex::memoryBytes() const
{
    qint64 bytes = 0;
    for (const Level &level : m_levels)
        bytes += level.memoryBytes();
    return bytes;
}

} // namespace platine
