#pragma once
// How LineSorter sorts one line, beside what the general rule makes of it (the line's kind, then
// its nine fields read by the leading-number rule), so that a test and a fuzz target check that
// the two agree: the same verdict, the same values to the bit, the same count of fields without a
// number.

#include "model/AcquisitionReader.h"

#include <cstring>
#include <optional>

namespace platine::test {

struct Sorted {
    bool row = false;        // LineSorter's verdict
    bool generalRow = false; // the general rule's
    bool sameValues = true;  // when both read a row, to the bit
    bool sameFieldsWithoutNumber = true;

    bool agree() const { return row == generalRow && sameValues && sameFieldsWithoutNumber; }
};

inline Sorted sortedAsTheRule(QByteArrayView line)
{
    LineSorter sorter;
    RowValues got{};
    RowValues want{};
    Sorted s;
    s.row = sorter.sort(line, 1, got);
    const std::optional<int> general = lineKind(line) == LineKind::Data ? readDataLine(line, want)
                                                                        : std::nullopt;
    s.generalRow = general.has_value();
    if (s.row && s.generalRow) {
        s.sameValues = std::memcmp(got.data(), want.data(), sizeof got) == 0;
        s.sameFieldsWithoutNumber = sorter.fieldsWithoutNumber == *general;
    }
    return s;
}

} // namespace platine::test
