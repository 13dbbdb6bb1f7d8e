#pragma once
// The overview of a whole acquisition file: for every block of consecutive rows, the least and the
// greatest value of each analog channel and the levels each logic input took. Rows are added one
// at a time while the file is read; the blocks start one row long and, whenever there would be
// more than kMaxBlocks of them, neighbours are merged two by two, so the memory stays bounded
// whatever the length of the file, and a file of up to kMaxBlocks rows keeps every row apart.

#include "model/AcquisitionReader.h"
#include "model/Channel.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <vector>

namespace platine {

// The levels a logic input took over some rows: bits kLow (a value 0), kHigh (1), kOther.
namespace levels {
inline constexpr std::uint8_t kLow = 1;
inline constexpr std::uint8_t kHigh = 2;
inline constexpr std::uint8_t kOther = 4;
// The level of a logic value.
constexpr std::uint8_t of(double v)
{
    if (v == 0)
        return kLow;
    return v == 1 ? kHigh : kOther;
}
} // namespace levels

struct OverviewSummary {
    std::array<double, kAnalogChannelCount> min{};
    std::array<double, kAnalogChannelCount> max{};
    std::array<std::uint8_t, kLogicChannelCount> logic{}; // by logic position

    void take(const RowValues &row);
    void take(const OverviewSummary &other);
    bool empty() const { return logic[0] == 0; } // every row takes a logic level
};

// Rows first .. end - 1 and what they hold.
struct OverviewColumn {
    qint64 first = 0;
    qint64 end = 0;
    OverviewSummary summary;
};

class Overview
{
public:
    static constexpr qsizetype kMaxBlocks = 65536;

    void add(const RowValues &row);
    // `rows` rows after those added, summed up: rows of one block, whatever blocks the overview
    // holds by then (they start at a multiple of a power of two that is at most rowsPerBlock()
    // when the first of them is added, and do not go past the next multiple).
    void add(const OverviewSummary &summary, qint64 rows);
    qint64 rows() const { return m_rows; }
    qint64 rowsPerBlock() const { return m_perBlock; }
    // rowsPerBlock() when row `row` (counted from 0) is added: it only grows, by doubling.
    static qint64 rowsPerBlockAt(qint64 row);

    // The rows in `count` columns of about equal numbers of whole blocks, in file order; with fewer
    // blocks than columns, each block spans several columns.
    std::vector<OverviewColumn> columns(int count) const;
    qint64 memoryBytes() const { return qint64(m_blocks.capacity() * sizeof(OverviewSummary)); }

private:
    // Starts the block of the next row, when it is the first of its block.
    void startBlock();

    std::vector<OverviewSummary> m_blocks;
    qint64 m_rows = 0;
    qint64 m_perBlock = 1;
};

} // namespace platine
