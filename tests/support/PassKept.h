#pragma once
// What a whole-file pass keeps, taken out once it is finished, so that two passes compare bit for
// bit: values as bytes (a sum may be NaN in a fuzzed file, and NaN is equal to nothing).

#include "model/FilePass.h"

#include <QByteArray>

#include <vector>

namespace platine::test {

struct PassKept {
    std::vector<qint64> counts; // rows, lines, lines skipped, fields without a number, the firsts
    QByteArray headers;         // the period line, the date line
    std::vector<qint64> offsets;
    QByteArray values; // of the first rows, the blocks' figures, the overview in 1, 7, 825 columns

    friend bool operator==(const PassKept &, const PassKept &) = default;
};

inline PassKept passKept(FilePass &pass)
{
    const LineSorter &s = pass.sorter();
    PassKept k{{pass.rows(), pass.lines(), s.skippedLines, s.firstSkipped, s.fieldsWithoutNumber,
                s.firstWithoutNumber},
               s.periodLine + '\n' + s.dateLine,
               pass.takeOffsets(),
               {}};
    const auto add = [&k](const auto &...values) {
        (k.values.append(reinterpret_cast<const char *>(&values), sizeof values), ...);
    };
    for (const RowValues &row : pass.takeFirstRows())
        add(row);
    for (const Figures &f : pass.blocks())
        add(f.rows, f.min, f.max, f.sum, f.minRow, f.maxRow, f.logic);
    for (int count : {1, 7, 825}) {
        for (const OverviewColumn &c : pass.overview().columns(count))
            add(c.first, c.end, c.summary.min, c.summary.max, c.summary.logic);
    }
    return k;
}

} // namespace platine::test
