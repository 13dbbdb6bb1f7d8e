#pragma once
// The two states the kill test's writer alternates between, shared by the writer and the test.

#include "schedule/ScheduleFrame.h"

#include <QString>

namespace platine::test {

inline ScheduleValues writerSchedule(int which)
{
    ScheduleValues v;
    for (int i = 0; i < kScheduleBoxCount; ++i)
        v.boxes[i] = which ? QStringLiteral("0%1:30:00").arg(i)
                           : QStringLiteral("%1:00:00").arg(i + 10);
    v.dayPosition = which ? 9 : 0;
    return v;
}

inline QString writerPort(int which)
{
    return which ? QStringLiteral("33") : QStringLiteral("3");
}

} // namespace platine::test
