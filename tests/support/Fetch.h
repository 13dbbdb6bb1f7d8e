#pragma once
// The value of a column of the current data row, as an expression (QFETCH declares a variable).

#include <QTest>

namespace platine::test {

template <typename T> T fetch(const char *column)
{
    return *static_cast<T *>(QTest::qData(column, qMetaTypeId<T>()));
}

} // namespace platine::test
