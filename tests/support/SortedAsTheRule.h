#pragma once
// The line sorter checked against the general rule (the line's kind, then its nine fields read by
// the leading-number rule), by a test and a fuzz target.

#include "model/AcquisitionReader.h"

#include <cstring>
#include <optional>

namespace platine::test {

// Whether LineSorter takes the line for a row, when it agrees with the general rule on that, on the
// values to the bit and on the count of fields without a number; nothing when they differ.
inline std::optional<bool> sortedAsTheRule(QByteArrayView line)
{
    LineSorter sorter;
    RowValues got{};
    RowValues want{};
    const bool row = sorter.sort(line, 1, got);
    const std::optional<int> general = lineKind(line) == LineKind::Data ? readDataLine(line, want)
                                                                        : std::nullopt;
    if (row != general.has_value()
        || (row
            && (std::memcmp(got.data(), want.data(), sizeof got) != 0
                || sorter.fieldsWithoutNumber != *general)))
        return std::nullopt;
    return row;
}

} // namespace platine::test
