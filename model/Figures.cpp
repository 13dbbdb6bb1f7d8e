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

void FigureIndex::append(const Figures &block)
{
    if (m_levels.empty())
        m_levels.emplace_back();
    m_levels[0].push_back(block);
    const qint64 n = blocks() - 1; // the block's number
    qint64 unit = 1;
    for (std::size_t k = 1;; ++k) {
        unit *= kFanOut; // blocks an entry of level k holds
        if (n < unit)
            return; // the file fits in one entry of level k: no need of it yet
        if (k == m_levels.size()) {
            // Its first entry: the first kFanOut entries of the level below, all complete.
            Figures first;
            for (qint64 i = 0; i < kFanOut; ++i)
                first.take(m_levels[k - 1][i]);
            m_levels.emplace_back().push_back(first);
        }
        if (n % unit == 0)
            m_levels[k].push_back({});
        m_levels[k].back().take(block);
    }
}

Figures FigureIndex::figures(qint64 from, qint64 to) const
{
    Figures out;
    to = std::min(to, blocks());
    std::size_t level = 0;
    qint64 unit = 1; // blocks an entry of the level holds
    // Up while the span holds whole entries of the level above, then down again.
    std::vector<std::pair<std::size_t, qint64>> tail; // (level, entry) taken after going up
    qint64 a = from;
    qint64 b = to;
    while (a < b) {
        const qint64 next = unit * kFanOut;
        if (level + 1 < m_levels.size() && (b / next) * next > ((a + next - 1) / next) * next) {
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

void FigureIndex::Level::push_back(const Figures &f)
{
    if (m_size % kChunk == 0)
        m_chunks.push_back(std::make_unique<Figures[]>(std::size_t(kChunk)));
    (*this)[m_size++] = f;
}

qint64 FigureIndex::Level::memoryBytes() const
{
    return qint64(m_chunks.size()) * kChunk * qint64(sizeof(Figures));
}

qint64 FigureIndex::memoryBytes() const
{
    qint64 bytes = 0;
    for (const Level &level : m_levels)
        bytes += level.memoryBytes();
    return bytes;
}

} // namespace platine
