#pragma once
// Where the store's window on a long file goes: the file's rows first .. first + n are shown in a
// full view of n + 1 rows, out of the file's `rows`.

#include <QtGlobal>

#include <optional>

namespace platine {

// The first row kept within the file, so that the full view is filled when the file is long enough.
qint64 windowStart(qint64 first, int n, qint64 rows);

// Where a key moves the window's first row: Page Down and Page Up by a full view, Home to the
// file's start, End to its last full view; nothing for any other key.
std::optional<qint64> windowStartAfterKey(int keyCode, qint64 first, int n, qint64 rows);

} // namespace platine
