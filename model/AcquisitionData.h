#pragma once
// The acquisition store: one for the whole run (the program keeps it), fixed capacity, independent
// of any window.
//
// One column a channel (model/Channel.h), rows 0..2000. Every slot is empty or a number; empty
// counts as 0. The logic values of a row are also numbered as one sequence of slots, four a row
// (slot 4r + b is row r's logic value at position b); the store holds slots 0..8000, so row 2000
// has only its first logic value.
//
// The rows in use are rows 0 .. rows - 1: a file's window ends with the file, demonstration data
// with its last row. The drawings and the tables leave the rows past them out; a fresh store uses
// all its rows.

#include "model/Channel.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <optional>

namespace platine {

struct AcquisitionData {
    static constexpr int kRows = 2001;
    static constexpr int kLogicSlots = 8001;

    using Slot = std::optional<double>;
    using Column = std::array<Slot, kRows>;

    std::array<Column, kChannelCount> columns{};
    int rows = kRows; // rows in use, from row 0

    Column &operator[](Channel c) { return columns[std::size_t(column(c))]; }
    const Column &operator[](Channel c) const { return columns[std::size_t(column(c))]; }

    // Whether the store has a slot for the channel at that row.
    static constexpr bool holds(Channel c, long long row)
    {
        if (row < 0 || row >= kRows)
            return false;
        return !isLogic(c) || 4 * row + logicPosition(c) < kLogicSlots;
    }

    // The slot of a channel at a row; only where holds().
    Slot &at(Channel c, long long row)
    {
        Q_ASSERT(holds(c, row));
        return (*this)[c][std::size_t(row)];
    }
    const Slot &at(Channel c, long long row) const
    {
        Q_ASSERT(holds(c, row));
        return (*this)[c][std::size_t(row)];
    }

    // Value of a slot as a number (empty counts as 0); outside the rows in use or where the store
    // has no slot, nothing.
    std::optional<double> value(Channel c, long long row) const
    {
        if (!holds(c, row) || row >= rows)
            return std::nullopt;
        return at(c, row).value_or(0.0);
    }
    // The same for a column of the temperature or an analog input, whose rows are all held.
    std::optional<double> value(const Column &column, long long row) const
    {
        if (row < 0 || row >= rows)
            return std::nullopt;
        return column[std::size_t(row)].value_or(0.0);
    }

    // Logic slot k of the sequence of four a row (0..8000).
    static constexpr Channel logicSlotChannel(long long k) { return logicChannelAt(int(k % 4)); }
    Slot &logicSlot(long long k) { return at(logicSlotChannel(k), k / 4); }
    const Slot &logicSlot(long long k) const { return at(logicSlotChannel(k), k / 4); }

    void clear()
    {
        columns.fill(Column{});
        rows = kRows;
    }

    friend bool operator==(const AcquisitionData &, const AcquisitionData &) = default;
};

} // namespace platine
