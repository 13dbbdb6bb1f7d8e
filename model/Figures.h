#pragma once
// The figures of some rows of a recording, and the index that gives them for any span of a long
// file without reading it again.
//
// Figures: for each of the nine channels, the least and the greatest value with the first row
// where each occurs, and the sum of the values (the mean is exact over every row); for each logic
// input, the levels it took (model/Overview.h). They combine: the figures of two spans that follow
// each other are those of the two taken one after the other.
//
// FigureIndex keeps the figures of every block of kBlockRows rows of the file (aligned with the
// offsets the whole-file pass keeps, so that the rows of a block are read again from one offset),
// and of every kFanOut blocks of a level in the level above, so that the figures of any span of
// whole blocks are combined from at most 2 x kFanOut blocks a level. One block's figures take
// about 370 bytes: under 6 bytes a row, about 1/60 more for the levels above.

#include "model/AcquisitionReader.h"
#include "model/Channel.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace platine {

struct AcquisitionData;

struct Figures {
    qint64 rows = 0; // how many rows they are of
    std::array<double, kChannelCount> min{};
    std::array<double, kChannelCount> max{};
    std::array<double, kChannelCount> sum{};
    std::array<qint64, kChannelCount> minRow{};           // first row of the least value
    std::array<qint64, kChannelCount> maxRow{};           // first row of the greatest
    std::array<std::uint8_t, kLogicChannelCount> logic{}; // levels, by logic position

    // Row `row` of the file, after the rows already taken.
    void take(qint64 row, const RowValues &values);
    // Rows that follow those already taken.
    void take(const Figures &later);
    bool empty() const { return rows == 0; }
    double mean(Channel c) const { return sum[std::size_t(column(c))] / double(rows); }
};

// The figures of the store's rows bounds[i] .. bounds[i + 1] - 1 (kept within its rows in use), for
// bounds in increasing order. A row without every channel's value (the store's last row holds only
// its first logic value) is left out.
std::vector<Figures> storeFigures(const AcquisitionData &store, const std::vector<qint64> &bounds);

class FigureIndex
{
public:
    static constexpr qint64 kBlockRows = 64;
    static constexpr qint64 kFanOut = 64;

    // An index with room made for the blocks of up to `rows` rows (see appendMoves()).
    explicit FigureIndex(qint64 rows = 0);

    // The figures of the next block: kBlockRows rows, or the rows of the file's last block.
    void append(const Figures &block);
    // Whether the next append has to move the tables through which the entries are found (the
    // index holds more blocks than it made room for). Any other append writes only entries of
    // its own block and of the levels' last entries, which hold it: a thread reading blocks
    // appended before (figures() with their count) while another appends needs no lock, but
    // for this append.
    bool appendMoves() const;
    // Blocks appended: they cover rows 0 .. blocks() x kBlockRows (the last may have fewer).
    qint64 blocks() const { return m_blocks; }
    // The figures of blocks from .. to - 1 of the first `blocks` appended (within them; all the
    // blocks appended when negative).
    Figures figures(qint64 from, qint64 to, qint64 blocks = -1) const;
    qint64 memoryBytes() const;

private:
    // Entries kept in chunks of a fixed size, so that growing never moves them nor keeps room
    // for more than one chunk; the table of the chunks moves only when it is full.
    class Level
    {
    public:
        static constexpr qint64 kChunk = 256;
        qint64 size() const { return m_size; }
        Figures &operator[](qint64 i) { return m_chunks[std::size_t(i / kChunk)][i % kChunk]; }
        const Figures &operator[](qint64 i) const
        {
            return m_chunks[std::size_t(i / kChunk)][i % kChunk];
        }
        Figures &back() { return (*this)[m_size - 1]; }
        // Room in the table for the chunks of `entries` entries.
        void reserve(qint64 entries);
        bool pushMoves() const { return m_size == m_room * kChunk; }
        void push_back(const Figures &f);
        qint64 memoryBytes() const;

    private:
        std::unique_ptr<std::unique_ptr<Figures[]>[]> m_chunks;
        qint64 m_room = 0; // chunks the table holds
        qint64 m_size = 0;
    };

    // Level k holds the figures of kFanOut^k blocks each, and is there once more than kFanOut^k
    // blocks are; a level's last entry is complete only when the level below has a multiple of
    // kFanOut entries. Ten levels hold more rows than a qint64 counts.
    static constexpr int kLevels = 10;
    std::array<Level, kLevels> m_levels;
    int m_levelsUsed = 0;
    qint64 m_blocks = 0;
};

} // namespace platine
