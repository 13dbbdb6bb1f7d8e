#include "schedule/ScheduleProgramming.h"

#include "schedule/ScheduleSettings.h"

namespace platine {

ProgrammingResult programSchedule(ScheduleValues values, const SettingsFiles &files)
{
    ProgrammingResult result;
    result.period = correctPeriod(values.boxes[kPeriodBox]);
    values.boxes[kPeriodBox] = result.period;

    result.invalidTimeBox = firstInvalidTimeBox(values);
    if (result.invalidTimeBox >= 0)
        return result;
    const std::optional<QByteArray> body = scheduleBody(values);
    if (!body)
        return result; // cannot happen: the period is corrected and the time boxes are usable

    result.debugIni = writeDebugIni(files.debugIni(), *body);
    result.paramIni = saveScheduleFile(files.paramIni(), values);

    result.frame = scheduleFrame(*body);
    return result;
}

} // namespace platine
